#!/usr/bin/env python3
"""Writes a synthetic C corpus in Shift-JIS for the benchmarks.

The corpus is made of modules of eight files in four layers; a function
calls helpers of its own file and functions of the next layer down, and the
third layer also calls the bottom layer of the previous module. The call
graph is therefore bounded in depth, so the size of every report grows in
proportion to the corpus and the scale factor measures the program, not the
shape of the input.

  generate_corpus.py --out DIR --scale N        N x about 20 MB in DIR
  generate_corpus.py --single FILE --mb 100     one self-contained file

The output depends only on the seed and the module index, so the 2x corpus
holds the modules of the 1x corpus and more.
"""

import argparse
import os
import random
import sys

MODULES_PER_SCALE = 85
FILES_PER_MODULE = 8          # file k lies in layer k // 2
LAYERS = 4
PUBLIC_PER_FILE = 10
HELPERS_PER_FILE = 9
MB = 1000 * 1000

# Japanese text for comments and messages. 表, ソ, 能 and 予 have 0x5C as
# their second byte in Shift-JIS, as real sources do.
NOUNS = ["在庫", "受注", "出荷", "請求", "顧客", "商品", "伝票", "帳票", "明細", "倉庫",
         "単価", "数量", "金額", "税額", "締日", "取引先", "部門", "担当者", "ｺｰﾄﾞ", "ﾏｽﾀ",
         "ﾃﾞｰﾀ", "ﾚｺｰﾄﾞ", "ﾊﾞｯﾌｧ", "ｿｰｽ", "一覧表", "予定", "機能", "ソート", "表示"]
VERBS = ["集計", "更新", "検索", "登録", "削除", "変換", "出力", "読込", "初期化", "判定",
         "計算", "照合", "編集", "確認", "展開"]
PHRASES = ["を行う", "を実施する", "の処理", "を呼び出す", "に失敗した場合はｴﾗｰを返す",
           "が未設定なら既定値を使う", "の前処理", "の後始末をする"]
AUTHORS = ["開発部 山田", "システム課 佐藤", "ｿﾌﾄ開発G 鈴木", "業務課 田中"]
ENGLISH_VERBS = ["calc", "update", "find", "add", "remove", "conv", "put", "load", "init",
                 "check", "sum", "match", "edit", "verify", "expand"]
ENGLISH_NOUNS = ["stock", "order", "ship", "bill", "cust", "item", "slip", "form", "line",
                 "store", "price", "qty", "amount", "tax", "close", "dept"]

# Parameter lists and the arguments a caller passes, by signature kind.
SIGNATURES = [
    ("int", "MzRecord *pRec, int nCount", "pCur, i"),
    ("long", "const char *pszText, long lValue", "szBuf, lTotal"),
    ("void", "void", ""),
    ("int", "int nValue", "nRet + i"),
]

SHARED_HEADERS = {
    "mz_config.h": """\
/* 全ﾓｼﾞｭｰﾙ共通の構成定義 (ﾋﾞﾙﾄﾞ条件はここで切り替える) */
#ifndef MZ_CONFIG_H
#define MZ_CONFIG_H

#define MZ_VERSION      3
#define MZ_REVISION     12
#define MZ_DEBUG
#if defined(_WIN32) || defined(WIN32)
#define MZ_PATH_SEP     '\\\\'
#else
#define MZ_PATH_SEP     '/'
#endif
#if MZ_VERSION >= 3
#define MZ_USE_CACHE    1
#else
#define MZ_USE_CACHE    0
#endif

#endif /* MZ_CONFIG_H */
""",
    "mz_types.h": """\
/* 共通の型定義: ﾚｺｰﾄﾞ、ﾊﾞｯﾌｧ、処理関数の型 */
#ifndef MZ_TYPES_H
#define MZ_TYPES_H

#include "mz_config.h"

typedef unsigned char  MZ_BYTE;
typedef unsigned short MZ_WORD;
typedef unsigned long  MZ_DWORD;

#define MZ_NAME_LEN     32
#define MZ_BUF_LEN      256

/* 帳票1行分のﾚｺｰﾄﾞ */
typedef struct tagMzRecord {
    int     nId;                    /* ﾚｺｰﾄﾞ番号 */
    int     nFlag;                  /* 状態ﾌﾗｸﾞ (MZ_FLAG_xxx) */
    long    lValue;                 /* 金額または数量 */
    char    szName[MZ_NAME_LEN];    /* 表示名 */
    struct tagMzRecord *pNext;      /* 次のﾚｺｰﾄﾞ */
} MzRecord;

typedef struct tagMzBuffer {
    MZ_BYTE *pData;
    MZ_DWORD dwSize;
    MZ_DWORD dwUsed;
} MzBuffer;

typedef int (*MzHandler)(MzRecord *pRec, int nCount);

#endif /* MZ_TYPES_H */
""",
    "mz_macros.h": """\
/* 共通ﾏｸﾛ */
#ifndef MZ_MACROS_H
#define MZ_MACROS_H

#define MZ_OK           0
#define MZ_NG           (-1)
#define MZ_FLAG_ACTIVE  0x0001
#define MZ_FLAG_DELETED 0x0002
#define MZ_FLAG_DIRTY   0x0004
#define MZ_MAX_ITEMS    1024
#define MZ_MIN(a, b)    ((a) < (b) ? (a) : (b))
#define MZ_MAX(a, b)    ((a) > (b) ? (a) : (b))
#define MZ_ARRAY_SIZE(a) (sizeof(a) / sizeof((a)[0]))
#define MZ_IS_ACTIVE(p) (((p)->nFlag & MZ_FLAG_ACTIVE) != 0)

#endif /* MZ_MACROS_H */
""",
    "mz_log.h": """\
/* ﾛｸﾞ出力 (mz_log.c) */
#ifndef MZ_LOG_H
#define MZ_LOG_H

void mz_log(const char *pszFormat, ...);
void mz_error(int nCode, const char *pszText);
int mz_copy_name(char *pszDest, const char *pszSrc, int nSize);

#endif /* MZ_LOG_H */
""",
}

LOG_SOURCE = """\
/*
 * ﾌｧｲﾙ名 : mz_log.c
 * 概要   : ﾛｸﾞ出力の共通処理。ﾒｯｾｰｼﾞは画面表示とﾌｧｲﾙの両方へ出す。
 */
#include <stdio.h>
#include <stdarg.h>
#include <string.h>
#include "../include/mz_config.h"
#include "../include/mz_log.h"

static FILE *s_pLogFile = NULL;     /* ﾛｸﾞﾌｧｲﾙ (未ｵｰﾌﾟﾝなら NULL) */

void mz_log(const char *pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    vfprintf(s_pLogFile ? s_pLogFile : stderr, pszFormat, args);
    va_end(args);
}

void mz_error(int nCode, const char *pszText)
{
    mz_log("ｴﾗｰ発生 (%d): %s\\n", nCode, pszText);
}

int mz_copy_name(char *pszDest, const char *pszSrc, int nSize)
{
    if (pszDest == NULL || pszSrc == NULL || nSize <= 0) {
        return -1;
    }
    strncpy(pszDest, pszSrc, nSize - 1);
    pszDest[nSize - 1] = '\\0';
    return (int)strlen(pszDest);
}
"""


class Function:
    def __init__(self, name, kind, static):
        self.name = name
        self.kind = kind
        self.static = static

    def prototype(self):
        ret, params, _ = SIGNATURES[self.kind]
        return "%s%s %s(%s)" % ("static " if self.static else "", ret, self.name, params)

    def call(self):
        return "%s(%s)" % (self.name, SIGNATURES[self.kind][2])


def file_stem(m, k):
    return "m%04d_%d" % (m, k)


def module_dir(m):
    return "mod_%04d" % m


def plan_module(seed, m):
    """Names and kinds of the functions of module m, per file."""
    rng = random.Random(seed * 1000003 + m)
    files = []
    for k in range(FILES_PER_MODULE):
        stem = file_stem(m, k)
        public = []
        for i in range(PUBLIC_PER_FILE):
            verb, noun = rng.choice(ENGLISH_VERBS), rng.choice(ENGLISH_NOUNS)
            if rng.random() < 0.3:
                name = "M%04d%d%s%s%d" % (m, k, verb.capitalize(), noun.capitalize(), i)
            else:
                name = "%s_%s_%s%d" % (stem, verb, noun, i)
            public.append(Function(name, rng.randrange(len(SIGNATURES)), False))
        helpers = [Function("s_%s_%s%d" % (stem, rng.choice(ENGLISH_VERBS), i),
                            rng.randrange(len(SIGNATURES)), True)
                   for i in range(HELPERS_PER_FILE)]
        files.append((public, helpers))
    return files


class Writer:
    """Builds one file's text, picking words from the file's own generator."""

    def __init__(self, rng):
        self.rng = rng
        self.lines = []

    def w(self, line=""):
        self.lines.append(line)

    def jp(self):
        r = self.rng
        return r.choice(NOUNS) + r.choice(["の", "を", ""]) + r.choice(VERBS) + r.choice(PHRASES)

    def text(self):
        return "\n".join(self.lines) + "\n"


def header_text(m, k, public, rng):
    stem = file_stem(m, k)
    guard = stem.upper() + "_H"
    out = Writer(rng)
    out.w("/* %s.h : %s (第%d層) の公開関数 */" % (stem, out.jp(), k // 2))
    out.w("#ifndef " + guard)
    out.w("#define " + guard)
    out.w()
    out.w('#include "../include/mz_types.h"')
    out.w()
    out.w("extern int g_%s_count;            /* 処理件数 */" % stem)
    out.w("extern MzRecord g_%s_table[];     /* %s */" % (stem, out.jp()))
    out.w()
    for f in public:
        out.w("%s;    /* %s */" % (f.prototype(), out.jp()))
    out.w()
    out.w("#endif /* %s */" % guard)
    return out.text()


def callees_of(m, k, plan):
    """Public functions a function of file k may call: the next layer down;
    layer 2 also calls the bottom layer of the previous module."""
    layer = k // 2
    targets, headers = [], []
    if layer + 1 < LAYERS:
        for j in range(FILES_PER_MODULE):
            if j // 2 == layer + 1:
                targets += plan[m][j][0]
                headers.append(file_stem(m, j) + ".h")
    if layer == 2 and m > 0:
        for j in range(FILES_PER_MODULE):
            if j // 2 == LAYERS - 1:
                targets += plan[m - 1][j][0]
                headers.append("../%s/%s.h" % (module_dir(m - 1), file_stem(m - 1, j)))
    return targets, headers


def body(out, f, calls, stem):
    """Statements of one function, with the calls spread among them."""
    r = out.rng
    ret = SIGNATURES[f.kind][0]
    out.w("{")
    out.w("    int i;                          /* ﾙｰﾌﾟｶｳﾝﾀ */")
    out.w("    int nRet = MZ_OK;")
    out.w("    long lTotal = 0L;               // 合計値")
    out.w("    char szBuf[MZ_BUF_LEN];")
    out.w("    MzRecord *pCur = g_%s_table;" % stem)
    out.w()
    out.w("    memset(szBuf, 0, sizeof(szBuf));")
    pending = list(calls)
    r.shuffle(pending)
    shapes = ["for", "if", "switch", "while", "plain", "debug", "comment"]
    for _ in range(r.randint(4, 7)):
        call = pending.pop() if pending else None
        shape = r.choice(shapes)
        if shape == "for":
            out.w("    /* %s */" % out.jp())
            out.w("    for (i = 0; i < %s_LIMIT; i++) {" % stem.upper())
            out.w("        if (MZ_IS_ACTIVE(&pCur[i])) {")
            out.w("            lTotal += pCur[i].lValue * %s_RATE;" % stem.upper())
            if call:
                out.w("            %s;" % call.call())
            out.w("        }")
            out.w("    }")
        elif shape == "if":
            out.w("    if (lTotal > %s_SQ(%d)) {" % (stem.upper(), r.randint(2, 99)))
            out.w('        mz_log("%sの値が上限を超えました: %%ld\\n", lTotal);' % r.choice(NOUNS))
            if call:
                out.w("        nRet = (int)(%s);" % call.call() if call.kind != 2
                      else "        %s;" % call.call())
            out.w("    } else {")
            out.w("        nRet = MZ_MIN(nRet, %d);   // %s" % (r.randint(0, 9), out.jp()))
            out.w("    }")
        elif shape == "switch":
            out.w("    switch (nRet) {")
            out.w("    case MZ_OK:")
            if call:
                out.w("        %s;" % call.call())
            out.w("        break;")
            out.w("    case MZ_NG:")
            out.w('        mz_error(nRet, "%s");' % out.jp())
            out.w("        break;")
            out.w("    default:")
            out.w("        break;")
            out.w("    }")
        elif shape == "while":
            out.w("    while (pCur != NULL && pCur->nId != %d) {" % r.randint(0, 500))
            if call:
                out.w("        %s;" % call.call())
            out.w("        pCur = pCur->pNext;")
            out.w("    }")
        elif shape == "debug":
            out.w("#ifdef MZ_DEBUG")
            out.w('    mz_log("%s: %%d %%ld\\n", nRet, lTotal);' % f.name)
            out.w("#endif")
            if call:
                out.w("    %s;" % call.call())
        elif shape == "comment":
            out.w("    /*")
            out.w("     * %s。" % out.jp())
            out.w("     * 呼び出し先は %s を参照。" % (call.name if call else "mz_log"))
            out.w("     */")
            if call:
                out.w("    %s;" % call.call())
        else:
            out.w("    g_%s_count++;" % stem)
            out.w("    mz_copy_name(szBuf, \"%s\", (int)sizeof(szBuf));" % r.choice(NOUNS))
            if call:
                out.w("    %s;    // %s" % (call.call(), out.jp()))
    for call in pending:
        out.w("    %s;" % call.call())
    if ret == "void":
        out.w("    return;")
    elif ret == "long":
        out.w("    return lTotal + nRet;")
    else:
        out.w("    return (int)(lTotal % MZ_MAX_ITEMS) + nRet;")
    out.w("}")
    out.w()


def function_comment(out, f, callers_hint):
    out.w("/*" + "*" * 70)
    out.w(" * 関数名 : %s" % f.name)
    out.w(" * 概要   : %s。" % out.jp())
    out.w(" *          %s。" % out.jp())
    ret, params, _ = SIGNATURES[f.kind]
    out.w(" * 引数   : %s" % ("なし" if params == "void" else params))
    out.w(" * 戻り値 : %s" % ("なし" if ret == "void" else "MZ_OK 正常 / MZ_NG 異常"))
    if callers_hint:
        out.w(" * 備考   : %s から呼ばれる" % callers_hint)
    out.w(" " + "*" * 70 + "*/")


def source_text(seed, m, k, plan):
    rng = random.Random((seed * 1000003 + m) * 31 + k)
    stem = file_stem(m, k)
    public, helpers = plan[m][k]
    targets, headers = callees_of(m, k, plan)
    out = Writer(rng)
    out.w("/" + "*" * 72)
    out.w(" *  ﾌｧｲﾙ名  : %s.c" % stem)
    out.w(" *  概要     : %s (第%d層)" % (out.jp(), k // 2))
    out.w(" *  作成者   : %s" % rng.choice(AUTHORS))
    out.w(" *  履歴     : 20%02d/%02d/%02d 新規作成" % (rng.randint(5, 19), rng.randint(1, 12),
                                                    rng.randint(1, 28)))
    out.w(" *             20%02d/%02d/%02d %s" % (rng.randint(20, 24), rng.randint(1, 12),
                                               rng.randint(1, 28), out.jp()))
    out.w(" " + "*" * 72 + "/")
    out.w("#include <string.h>")
    out.w('#include "../include/mz_config.h"')
    out.w('#include "../include/mz_types.h"')
    out.w('#include "../include/mz_macros.h"')
    out.w('#include "../include/mz_log.h"')
    out.w('#include "%s.h"' % stem)
    for h in headers:
        out.w('#include "%s"' % h)
    out.w()
    up = stem.upper()
    out.w("#define %s_LIMIT     %d      /* 1回に処理する件数 */" % (up, rng.randint(8, 64)))
    out.w("#define %s_RATE      %d" % (up, rng.randint(2, 9)))
    out.w("#define %s_CODE      \"%s%03d\"" % (up, stem[:5].upper(), rng.randint(0, 999)))
    out.w("#define %s_SQ(x)     ((x) * (x))" % up)
    out.w("#define %s_CLIP(x)   MZ_MAX(0, MZ_MIN((x), %s_LIMIT))" % (up, up))
    out.w("#if MZ_USE_CACHE")
    out.w("#define %s_CACHE     %d" % (up, rng.choice([16, 32, 64])))
    out.w("#else")
    out.w("#define %s_CACHE     1" % up)
    out.w("#endif")
    out.w()
    out.w("/* %s */" % out.jp())
    out.w("typedef struct tag%s_Item {" % stem.capitalize())
    out.w("    int     nId;")
    out.w("    char    szName[MZ_NAME_LEN];     /* 名称 */")
    out.w("    long    lValue;")
    out.w("    struct tag%s_Item *pNext;" % stem.capitalize())
    out.w("} %s_Item;" % stem.capitalize())
    out.w()
    out.w("typedef enum {")
    out.w("    %s_STATE_IDLE,       /* 待機中 */" % up)
    out.w("    %s_STATE_RUN,        /* 処理中 */" % up)
    out.w("    %s_STATE_DONE        /* 完了 */" % up)
    out.w("} %s_State;" % stem.capitalize())
    out.w()
    out.w("int g_%s_count = 0;" % stem)
    out.w("MzRecord g_%s_table[%s_CACHE];" % (stem, up))
    out.w("static %s_Item s_%s_items[%s_LIMIT];" % (stem.capitalize(), stem, up))
    out.w("static %s_State s_%s_state = %s_STATE_IDLE;" % (stem.capitalize(), stem, up))
    out.w('static const char *s_%s_title = "%s";' % (stem, out.jp()))
    out.w()
    for h in helpers:
        out.w("%s;" % h.prototype())
    out.w()
    # A table of helpers reached through a pointer, as dispatch code has.
    pointer_helpers = [h for h in helpers if h.kind == 0][:3]
    if pointer_helpers:
        out.w("static const MzHandler s_%s_handlers[] = {" % stem)
        for h in pointer_helpers:
            out.w("    %s," % h.name)
        out.w("};")
        out.w()
    for n, f in enumerate(public):
        calls = [rng.choice(helpers) for _ in range(rng.randint(1, 2))]
        if targets:
            calls += rng.sample(targets, 2)
        function_comment(out, f, None)
        out.w(f.prototype())
        body(out, f, calls, stem)
        if n == 0 and pointer_helpers:
            out.w("int %s_dispatch(int nIndex, MzRecord *pRec)" % stem)
            out.w("{")
            out.w("    /* 添字が範囲外なら何もしない */")
            out.w("    if (nIndex < 0 || nIndex >= (int)MZ_ARRAY_SIZE(s_%s_handlers)) {" % stem)
            out.w("        return MZ_NG;")
            out.w("    }")
            out.w("    return (*s_%s_handlers[nIndex])(pRec, 1);" % stem)
            out.w("}")
            out.w()
    for n, h in enumerate(helpers):
        function_comment(out, h, public[n % len(public)].name)
        out.w(h.prototype())
        # Some helpers recurse, one pair calls each other.
        calls = []
        if n % 4 == 1:
            calls.append(h)
        if n == 2 and len(helpers) > 3:
            calls.append(helpers[3])
        if n == 3:
            calls.append(helpers[2])
        body(out, h, calls, stem)
    out.w("/* %s.c ここまで */" % stem)
    return out.text()


def encode(text):
    return text.encode("cp932")


def module_files(seed, m, plan):
    """(relative path, text) of every file of module m."""
    for k in range(FILES_PER_MODULE):
        public = plan[m][k][0]
        rng = random.Random((seed * 1000003 + m) * 37 + k)
        yield os.path.join(module_dir(m), file_stem(m, k) + ".h"), header_text(m, k, public, rng)
    for k in range(FILES_PER_MODULE):
        yield os.path.join(module_dir(m), file_stem(m, k) + ".c"), source_text(seed, m, k, plan)


class Plans:
    """Plans of the modules, made on demand (a module needs the one before)."""

    def __init__(self, seed):
        self.seed = seed
        self.cache = {}

    def __getitem__(self, m):
        if m not in self.cache:
            self.cache[m] = plan_module(self.seed, m)
            self.cache.pop(m - 3, None)
        return self.cache[m]


def write_corpus(out_dir, scale, seed):
    plans = Plans(seed)
    os.makedirs(os.path.join(out_dir, "include"), exist_ok=True)
    os.makedirs(os.path.join(out_dir, "common"), exist_ok=True)
    total = 0
    for name, text in SHARED_HEADERS.items():
        total += write(os.path.join(out_dir, "include", name), encode(text))
    total += write(os.path.join(out_dir, "common", "mz_log.c"), encode(LOG_SOURCE))
    for m in range(MODULES_PER_SCALE * scale):
        os.makedirs(os.path.join(out_dir, module_dir(m)), exist_ok=True)
        for rel, text in module_files(seed, m, plans):
            total += write(os.path.join(out_dir, rel), encode(text))
    return total


def write_single(path, megabytes, seed):
    """All of it in one file: the shared headers first, then module after
    module without their #include lines, until the size is reached."""
    plans = Plans(seed)
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    limit = megabytes * MB
    total = 0
    with open(path, "wb") as f:
        def put(text):
            nonlocal total
            data = encode("\n".join(l for l in text.split("\n") if not l.startswith('#include "')))
            f.write(data)
            total += len(data)
        put("/* 単一ﾌｧｲﾙにまとめた負荷試験用ｿｰｽ */\n")
        for text in SHARED_HEADERS.values():
            put(text)
        m = 0
        while total < limit:
            for _, text in module_files(seed, m, plans):
                put(text)
            m += 1
    return total


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)
    return len(data)


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    p.add_argument("--out", help="folder of the corpus")
    p.add_argument("--scale", type=int, default=1)
    p.add_argument("--single", help="write one file instead")
    p.add_argument("--mb", type=int, default=100, help="size of the single file (10^6 bytes)")
    p.add_argument("--seed", type=int, default=1)
    a = p.parse_args()
    if a.single:
        n = write_single(a.single, a.mb, a.seed)
    elif a.out:
        n = write_corpus(a.out, a.scale, a.seed)
    else:
        p.error("give --out or --single")
    print("%.1f MB" % (n / MB))


if __name__ == "__main__":
    sys.exit(main())
