#!/usr/bin/env bash
# Times the checks' statements on demo databases of 10k, 100k and 1M products.
#   bench/verificacoes.sh BUILD_DIR [PASTA_DAS_BASES]
# The demo databases are generated once into the folder (default /tmp/quelvora-bench) and reused.
# The literal reference statements take minutes per run on large catalogues: they run once per
# size, and not at 1M unless REFERENCIA_1M=1.
set -euo pipefail
build=${1:?uso: bench/verificacoes.sh BUILD_DIR [PASTA]}
pasta=${2:-/tmp/quelvora-bench}
mkdir -p "$pasta"
for n in 10000 100000 1000000; do
  [ -f "$pasta/demo-$n.fdb" ] || "$build/gerar-base-demo" "$pasta/demo-$n.fdb" --produtos $n --semente 1
done
echo "# $(date -u +%FT%TZ) $(nproc) núcleos, $(free -g | awk '/Mem:/{print $2}') GiB, $(uname -r)"
for n in 10000 100000 1000000; do
  banco="$pasta/demo-$n.fdb"
  for q in piso qryListagem qryContaOcorrencias qryQTD; do
    echo -n "$n	"; "$build/bench-verificacoes" "$banco" $q --repeticoes 5
  done
  if [ $n -lt 1000000 ] || [ "${REFERENCIA_1M:-0}" = 1 ]; then
    for q in qryListagem qryContaOcorrencias qryQTD; do
      echo -n "$n	"; "$build/bench-verificacoes" "$banco" $q --referencia --repeticoes 1
    done
  fi
done
