#!/usr/bin/python3
"""Reads a workbook with openpyxl, as a user's spreadsheet program would open it, and prints
what the tests compare as JSON: every non-empty or formatted cell, merges, frozen panes,
column widths."""
import json
import sys

import openpyxl
from openpyxl.cell.cell import MergedCell


def cor(lado):
    if lado is None or lado.color is None:
        return None
    c = lado.color
    return c.rgb if c.type == "rgb" else "%s:%s" % (c.type, c.value)


def main(caminho):
    # Through a file object, so that a name typed without an extension is read all the same.
    with open(caminho, "rb") as arquivo:
        pasta = openpyxl.load_workbook(arquivo)
    folha = pasta.worksheets[0]
    celulas = {}
    for linha in folha.iter_rows():
        for celula in linha:
            if isinstance(celula, MergedCell):
                continue
            if celula.value is None and not celula.has_style:
                continue
            celulas[celula.coordinate] = {
                "valor": celula.value,
                "tipo": celula.data_type,
                "negrito": bool(celula.font.b),
                "horizontal": celula.alignment.horizontal,
                "vertical": celula.alignment.vertical,
                "borda": [celula.border.left.style, celula.border.right.style,
                          celula.border.top.style, celula.border.bottom.style],
                "corBorda": cor(celula.border.left),
            }
    print(json.dumps({
        "folhas": len(pasta.worksheets),
        "celulas": celulas,
        "mescladas": sorted(str(r) for r in folha.merged_cells.ranges),
        "congelado": folha.freeze_panes,
        "larguras": {letra: d.width for letra, d in folha.column_dimensions.items() if d.width},
        "ultimaLinha": folha.max_row,
    }, ensure_ascii=False))


if __name__ == "__main__":
    main(sys.argv[1])
