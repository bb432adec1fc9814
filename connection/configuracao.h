#pragma once
// Where the connection settings come from: the process environment, the ERP's settings files in
// the program's folder and, last, the named alias "VOSTREN". Every call reads every source
// again; nothing is cached between connection attempts.
#include <QString>

// The two places the resolution looks at besides the environment; tests point them at a
// temporary folder. Empty means the real ones: the executable's folder and the alias store.
struct AmbienteConfiguracao {
    QString pastaPrograma;
    QString arquivoAliases;
};

struct ConfiguracaoConexao {
    QString caminho;
    QString usuario;
    QString senha;
};

inline constexpr char16_t USUARIO_PADRAO[] = u"SYSDBA";
inline constexpr char16_t SENHA_PADRAO[] = u"plovendar";
inline constexpr char16_t ALIAS_BANCO[] = u"VOSTREN";

// Fills Saida step by step, so that on a failure it holds what was set before it. Throws Erro
// whose text is "Não foi possível conectar ao banco de dados. \r" followed by the reason.
void resolverConfiguracao(const AmbienteConfiguracao &ambiente, ConfiguracaoConexao &saida);

// The settings file Nome in Pasta. The ERP's folders come from Windows, where names ignore
// case: an exact match is preferred, otherwise a name differing only in case is taken.
// Empty when there is none.
QString localizarArquivo(const QString &pasta, const QString &nome);
