#!/usr/bin/env python3
"""Generates diag/error_table.cpp: result code -> symbolic name(s) and description.

Reads the public Windows headers that Debian's mingw-w64-common package installs
(winerror.h and the DirectX family headers) and evaluates their #define lines.

Rules:
  * Win32 error numbers (the plain numbers of winerror.h) are listed twice: as the
    number and as its result-code form 0x8007xxxx. Result-code constants win over
    Win32 numbers of equal value (0 is S_OK, 1 is S_FALSE, 0x80070057 E_INVALIDARG).
  * Constants that share one value are joined with " & ". A constant defined only
    as another constant's name (an alias such as DSERR_GENERIC = E_FAIL) is not
    listed separately.
  * Descriptions come from descriptions.txt beside this script ("0xXXXXXXXX text"
    lines written for this project); every other code has none.

usage: errgen.py [--include DIR] [--out FILE]
"""
import argparse
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# Family headers and which names in them are result codes.
DX_HEADERS = {
    "d3d9.h": r"D3DERR_\w+|D3D_OK|D3DOK_\w+",
    "d3dx9.h": r"D3DXERR_\w+",
    "d3dx9anim.h": r"D3DXERR_\w+",
    "d3dx9core.h": r"D3DXERR_\w+",
    "d3dx9effect.h": r"D3DXERR_\w+",
    "d3dx9mesh.h": r"D3DXERR_\w+",
    "d3dx9shader.h": r"D3DXERR_\w+",
    "d3dx9tex.h": r"D3DXERR_\w+",
    "d3dx9xof.h": r"D3DXFERR_\w+",
    "ddraw.h": r"DDERR_\w+|DD_OK|DD_FALSE",
    "dsound.h": r"DSERR_\w+|DS_OK|DS_NO_VIRTUALIZATION|DS_INCOMPLETE",
    "dinput.h": r"DIERR_\w+|DI_(OK|NOTATTACHED|BUFFEROVERFLOW|PROPNOEFFECT|NOEFFECT|POLLEDDEVICE"
                r"|DOWNLOADSKIPPED|EFFECTRESTARTED|TRUNCATED|SETTINGSNOTSAVED"
                r"|TRUNCATEDANDRESTARTED|WRITEPROTECT)",
    "dxfile.h": r"DXFILEERR_\w+|DXFILE_OK",
    "dmerror.h": r"DMUS_[ES]_\w+",
    "dplay8.h": r"DPNERR_\w+|DPN_OK|DPNSUCCESS_\w+",
    "dvoice.h": r"DVERR_\w+|DV_OK|DV_FULLDUPLEX|DV_HALFDUPLEX|DV_PENDING",
    "xact.h": r"XACTENGINE_E_\w+|XACTENGINE_S_\w+",
    "xact3.h": r"XACTENGINE_E_\w+|XACTENGINE_S_\w+",
    "dxgi.h": r"DXGI_ERROR_\w+|DXGI_STATUS_\w+",
    "dxgitype.h": r"DXGI_ERROR_\w+|DXGI_STATUS_\w+",
    "d3d10.h": r"D3D10_ERROR_\w+",
    "vfwmsgs.h": r"VFW_[ES]_\w+",
}
# winerror.h: everything that evaluates, except the layout helpers.
WINERROR_SKIP = re.compile(r"^(FACILITY_|SEVERITY_|_|WINAPI|NOERROR$|NO_ERROR$|SEC_E_OK$|"
                           r"\w*_MASK$|\w*_BASE$|\w*_FIRST$|\w*_LAST$|\w*_MINIMUM$|\w*_MAXIMUM$)")

DEFINE = re.compile(r"^\s*#\s*define\s+(\w+)(\([^)]*\))?\s*(.*?)\s*$")
ENUMERATOR = re.compile(r"^\s*([A-Z][A-Z0-9_]*ERR_\w+)\s*=\s*(.+?)\s*,?\s*$")
CAST = re.compile(r"\(\s*(?:HRESULT|SCODE|DWORD|LONG|ULONG|long|int|unsigned(?:\s+long|\s+int)?|UINT)\s*\)")


def strip_comments(text):
    text = re.sub(r"/\*.*?\*/", " ", text, flags=re.S)
    return re.sub(r"//[^\n]*", "", text)


def read_defines(path):
    text = strip_comments(open(path, encoding="latin-1").read())
    text = re.sub(r"\\\n", " ", text)
    objs, funcs = {}, {}
    for line in text.split("\n"):
        m = DEFINE.match(line)
        if not m:
            # Some families are enumerators ("D3DXERR_X = MAKE_DDHRESULT(2900),").
            e = ENUMERATOR.match(line)
            if e:
                objs.setdefault(e.group(1), e.group(2))
            continue
        name, params, body = m.group(1), m.group(2), m.group(3)
        if params is not None:
            funcs[name] = ([p.strip() for p in params[1:-1].split(",") if p.strip()], body)
        else:
            objs.setdefault(name, body)
    return objs, funcs


BUILTIN_FUNCS = {
    "MAKE_HRESULT": (["s", "f", "c"], "((((s)&1)<<31)|(((f)&0x1FFF)<<16)|((c)&0xFFFF))"),
    "MAKE_SCODE": (["s", "f", "c"], "((((s)&1)<<31)|(((f)&0x1FFF)<<16)|((c)&0xFFFF))"),
    "_HRESULT_TYPEDEF_": (["x"], "(x)"),
    "_NDIS_ERROR_TYPEDEF_": (["x"], "(x)"),
    "__MSABI_LONG": (["x"], "(x)"),
    "HRESULT_FROM_WIN32": (["x"], "__W32(x)"),
}


class Evaluator:
    def __init__(self, objs, funcs):
        self.objs, self.funcs = objs, dict(funcs)
        self.funcs.update(BUILTIN_FUNCS)

    def expand(self, text, depth=0):
        if depth > 40:
            raise ValueError("too deep")
        text = CAST.sub(" ", text)
        out, i = [], 0
        while i < len(text):
            n = re.compile(r"\d\w*").match(text, i)
            if n:
                out.append(n.group(0))
                i = n.end()
                continue
            m = re.compile(r"[A-Za-z_]\w*").match(text, i)
            if not m:
                out.append(text[i])
                i += 1
                continue
            word, i = m.group(0), m.end()
            if word == "__W32":
                out.append(word)
            elif word in self.funcs:
                j = i
                while j < len(text) and text[j].isspace():
                    j += 1
                if j >= len(text) or text[j] != "(":
                    raise ValueError("function macro without arguments")
                level, k, args, start = 0, j, [], j + 1
                while k < len(text):
                    if text[k] == "(":
                        level += 1
                    elif text[k] == ")":
                        level -= 1
                        if level == 0:
                            args.append(text[start:k])
                            break
                    elif text[k] == "," and level == 1:
                        args.append(text[start:k])
                        start = k + 1
                    k += 1
                params, body = self.funcs[word]
                if len(args) != len(params):
                    raise ValueError("argument count")
                for p, a in zip(params, args):
                    body = re.sub(r"\b%s\b" % re.escape(p), "(" + a + ")", body)
                out.append("(" + self.expand(body, depth + 1) + ")")
                i = k + 1
            elif word in self.objs:
                out.append("(" + self.expand(self.objs[word], depth + 1) + ")")
            else:
                raise ValueError("unknown " + word)
        return "".join(out)

    def value(self, name):
        expr = self.expand(self.objs[name])
        expr = re.sub(r"\b(0[xX][0-9A-Fa-f]+|\d+)[uUlL]+\b", r"\1", expr)
        if re.search(r"[^\s0-9A-Fa-fxX()|&<>+\-~*W_3]", expr) or "\"" in expr:
            raise ValueError("not numeric")
        w32 = lambda x: x & 0xFFFFFFFF if (x & 0xFFFFFFFF) >= 0x80000000 or x == 0 else \
            ((x & 0xFFFF) | 0x80070000)
        v = eval(expr, {"__builtins__": {}}, {"__W32": w32})
        return int(v) & 0xFFFFFFFF


def is_alias(objs, name):
    return re.fullmatch(r"\(?\s*[A-Za-z_]\w*\s*\)?", objs[name]) is not None and \
        not re.fullmatch(r"\(?\s*[A-Za-z_]\w*\s*\)?", "0") and \
        objs[name].strip("() ") in objs


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--include", default="/usr/share/mingw-w64/include")
    ap.add_argument("--out", default=os.path.join(HERE, "..", "..", "diag", "error_table.cpp"))
    args = ap.parse_args()

    all_objs, all_funcs = {}, {}
    per_header = {}
    headers = ["winerror.h"] + sorted(DX_HEADERS)
    for h in headers:
        path = os.path.join(args.include, h)
        if not os.path.exists(path):
            print("errgen: %s not found, skipped" % h, file=sys.stderr)
            continue
        objs, funcs = read_defines(path)
        per_header[h] = objs
        for k, v in objs.items():
            all_objs.setdefault(k, v)
        for k, v in funcs.items():
            all_funcs.setdefault(k, v)
    ev = Evaluator(all_objs, all_funcs)

    hresults = {}   # value -> set of names (result-code constants)
    win32 = {}      # value -> set of names (plain Win32 numbers)
    derived = {}    # value -> names defined from a Win32 number (listed only where nothing else is)
    for h, objs in per_header.items():
        pattern = None if h == "winerror.h" else re.compile("(?:%s)$" % DX_HEADERS[h])
        for name, body in objs.items():
            if pattern is not None and not pattern.match(name):
                continue
            if pattern is None and WINERROR_SKIP.match(name):
                continue
            if is_alias(all_objs, name):
                continue
            try:
                v = ev.value(name)
            except Exception:
                continue
            if re.search(r"\bERROR_\w+|HRESULT_FROM_WIN32|FACILITY_WIN32", body):
                derived.setdefault(v, set()).add(name)
            elif h == "winerror.h" and "__MSABI_LONG" in body and "_HRESULT_TYPEDEF_" not in body \
                    and v < 0x10000:
                win32.setdefault(v, set()).add(name)
            else:
                hresults.setdefault(v, set()).add(name)

    table = {v: set(n) for v, n in hresults.items() if v >= 0x10000}
    for v, names in win32.items():
        table.setdefault(v, set()).update(names)  # plain numbers: Win32 names win
        if (0x80070000 | v) not in hresults:       # result-code form: constants win
            table.setdefault(0x80070000 | v, set()).update(names)
    for v, names in hresults.items():
        if v < 0x10000 and v not in table:
            table[v] = set(names)
    for v, names in derived.items():
        if v not in table:
            table[v] = set(names)
    table[0] = {"S_OK"}
    table[1] = {"S_FALSE"}

    descriptions = {}
    dpath = os.path.join(HERE, "descriptions.txt")
    for line in open(dpath, encoding="utf-8"):
        line = line.strip()
        if line and not line.startswith("#"):
            code, text = line.split(None, 1)
            descriptions[int(code, 16)] = text

    def order(names):
        # Result-code constants first, then by header order of appearance (alphabetical).
        return sorted(names, key=lambda n: (n.startswith("ERROR_"), n))

    def cstr(s):
        return '"' + s.replace("\\", "\\\\").replace('"', '\\"') + '"'

    lines = [
        "// Generated by tools/errgen/errgen.py from the public Windows headers of",
        "// mingw-w64-common; do not edit. See tools/errgen/README.md.",
        '#include "diag/error_table.h"',
        "",
        "const ErrorEntry kErrorTable[] = {",
    ]
    for code in sorted(table):
        name = " & ".join(order(table[code]))
        d = descriptions.get(code)
        dn = cstr(d) if d else "nullptr"
        dw = ("L" + cstr(d)) if d else "nullptr"
        lines.append("    {0x%08Xu, %s, L%s, %s, %s}," % (code, cstr(name), cstr(name), dn, dw))
    lines += ["};", "", "const std::size_t kErrorTableSize = sizeof kErrorTable / sizeof kErrorTable[0];", ""]
    with open(args.out, "w") as f:
        f.write("\n".join(lines))

    # Summary per family: distinct names.
    names = set()
    for n in table.values():
        names.update(n)
    fams = {}
    for n in names:
        m = re.match(r"(ERROR_|DDERR_|D3DERR_|D3DXERR_|D3DXFERR_|DXFILEERR_|DSERR_|DIERR_|DMUS_|"
                     r"DPNERR_|DVERR_|XACT|DXGI_|D3D10_|VFW_|E_|S_|CO_|RPC_|STG_|SEC_|CRYPT_|"
                     r"SCARD_|WBEM|SPAPI_|DNS_|WSA|OLE_|TRUST_|CERT_|NTE_|MK_|CLASS_|REGDB_|"
                     r"DRAGDROP_|OLEOBJ_|CACHE_|CONVERT10_|CLIPBRD_|VIEW_|INPLACE_|DATA_|CS_|"
                     r"EVENT_|XACT_|CONTEXT_|OR_|EPT_|TYPE_|DISP_|MEM_|DI_|DS_|DD_|D3D_|DPN|"
                     r"DXFILE_)", n)
        fams[m.group(1) if m else "other"] = fams.get(m.group(1) if m else "other", 0) + 1
    print("errgen: %d codes, %d distinct names" % (len(table), len(names)))
    for k in sorted(fams, key=lambda k: -fams[k]):
        print("  %-12s %d" % (k, fams[k]))


if __name__ == "__main__":
    main()
