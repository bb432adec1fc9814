#include "tools/esquema_erp.h"

namespace ferramentas {
namespace {

// Codes are VARCHAR: a CHAR pad would defeat the checks' "like '%60'" on a short value.
// Bases and rates are percentages with four decimals, as the ERP keeps them.
const char *const tabelas[] = {
    R"(create table gruprod (
        codgrupo integer not null,
        descricao varchar(40),
        constraint pk_gruprod primary key (codgrupo)))",
    R"(create table subgrup (
        codsubgrupo integer not null,
        codgrupo integer not null,
        descricao varchar(40),
        constraint pk_subgrup primary key (codgrupo, codsubgrupo)))",
    R"(create table clasfisc (
        codclasfis integer not null,
        codigoncm varchar(10),
        constraint pk_clasfisc primary key (codclasfis)))",
    R"(create table produto (
        codprod integer not null,
        descricao varchar(100),
        codgrupo integer,
        codsubgrupo integer,
        codclasfis integer,
        codtribut00 varchar(4),
        codtribut01 varchar(4),
        codtribut02 varchar(4),
        codtribut03 varchar(4),
        baseicmsreg00 numeric(15,4),
        baseicmsreg01 numeric(15,4),
        baseicmsreg02 numeric(15,4),
        baseicmsreg03 numeric(15,4),
        aliqicmsreg00 numeric(15,4),
        aliqicmspdv numeric(15,4),
        substrib char(1),
        substribsaida char(1),
        codcest varchar(9),
        ativo char(1),
        constraint pk_produto primary key (codprod)))",
    R"(create table csosn_prod (
        codprod integer not null,
        tipopessoa char(1) not null,
        codcsosn varchar(4),
        constraint pk_csosn_prod primary key (codprod, tipopessoa),
        constraint fk_csosn_prod_produto foreign key (codprod) references produto (codprod)
            on delete cascade))",
    R"(create table perfilimposto_itens (
        codperfil integer default 1 not null,
        codprod integer not null,
        constraint pk_perfilimposto_itens primary key (codperfil, codprod),
        constraint fk_perfilimposto_itens_produto foreign key (codprod) references produto (codprod)
            on delete cascade))",
    R"(create table estados (
        estado char(2) not null,
        aliqicm numeric(15,4),
        constraint pk_estados primary key (estado)))",
    R"(create table filiais (
        codempresa integer not null,
        nomeempresa varchar(60),
        estado char(2),
        constraint pk_filiais primary key (codempresa)))",
};

// The indexes a search screen of the ERP needs; keys and foreign keys carry their own.
const char *const indices[] = {
    "create index ix_produto_grupo on produto (codgrupo, codsubgrupo)",
    "create index ix_produto_clasfis on produto (codclasfis)",
    "create index ix_produto_descricao on produto (descricao)",
    "create index ix_perfilimposto_itens_prod on perfilimposto_itens (codprod)",
};

}  // namespace

void criarTabelasErp(firebird::Conexao &conexao) {
    for (const char *sql : tabelas)
        conexao.executar(QString::fromUtf8(sql));
}

void criarIndicesErp(firebird::Conexao &conexao) {
    for (const char *sql : indices)
        conexao.executar(QString::fromUtf8(sql));
}

void criarEsquemaErp(firebird::Conexao &conexao) {
    criarTabelasErp(conexao);
    criarIndicesErp(conexao);
}

QStringList tabelasErp() {
    return {u"gruprod"_qs, u"subgrup"_qs, u"clasfisc"_qs, u"produto"_qs, u"csosn_prod"_qs,
            u"perfilimposto_itens"_qs, u"estados"_qs, u"filiais"_qs};
}

}  // namespace ferramentas
