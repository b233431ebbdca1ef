// SPDX-License-Identifier: MIT
// Test helper: writes a Paradox table through pxlib, so that the tests can read what an
// independent writer makes.
//   pxwriter table.db "NAME:T:size,..." keyFields < records
// T is A, D, S, I, $, N, L or +; each input line is one record, values separated by '|', an
// empty value is NULL, dates as yyyy-mm-dd, logicals T or F. Text is UTF-8 and is stored as
// 1252; the writer converts it itself, since pxlib recodes only when it was built with iconv.
#include <paradox.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static void report(pxdoc_t *p, int type, const char *msg, void *data)
{
    (void)p;
    (void)data;
    fprintf(stderr, "pxlib error %d: %s\n", type, msg);
}

// UTF-8 to code page 1252 in place, for the Latin-1 letters the tests use (U+00A0..U+00FF).
static void toCodePage1252(char *text)
{
    unsigned char *in = (unsigned char *)text;
    unsigned char *out = in;
    while (*in) {
        if ((in[0] == 0xC2 || in[0] == 0xC3) && (in[1] & 0xC0) == 0x80) {
            *out++ = (unsigned char)(((in[0] & 0x03) << 6) | (in[1] & 0x3F));
            in += 2;
        } else {
            *out++ = *in++;
        }
    }
    *out = 0;
}

static char typeCode(char letter)
{
    switch (letter) {
    case 'A':
        return pxfAlpha;
    case 'D':
        return pxfDate;
    case 'S':
        return pxfShort;
    case 'I':
        return pxfLong;
    case '$':
        return pxfCurrency;
    case 'N':
        return pxfNumber;
    case 'L':
        return pxfLogical;
    case '+':
        return pxfAutoInc;
    default:
        return 0;
    }
}

int main(int argc, char **argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: pxwriter table.db fields keyfields < records\n");
        return 2;
    }
    PX_boot();
    pxdoc_t *doc = PX_new2(report, NULL, NULL, NULL);
    int n = 1;
    for (const char *c = argv[2]; *c; ++c)
        n += *c == ',';
    pxfield_t *fields = doc->malloc(doc, sizeof(pxfield_t) * (size_t)n, "fields");
    char *fieldList = strdup(argv[2]);
    char *save = NULL;
    int i = 0;
    for (char *tok = strtok_r(fieldList, ",", &save); tok && i < n;
         tok = strtok_r(NULL, ",", &save), ++i) {
        char *type = strchr(tok, ':');
        char *size = type ? strchr(type + 1, ':') : NULL;
        if (!size)
            return 2;
        *type = 0;
        fields[i].px_fname = PX_strdup(doc, tok);
        fields[i].px_ftype = typeCode(type[1]);
        fields[i].px_flen = atoi(size + 1);
        fields[i].px_fdc = 0;
    }
    const int keys = atoi(argv[3]);
    if (PX_create_file(doc, fields, n, argv[1],
                       keys > 0 ? pxfFileTypIndexDB : pxfFileTypNonIndexDB) < 0)
        return 1;
    PX_set_value(doc, "codepage", 1252);
    if (keys > 0)
        PX_set_value(doc, "numprimkeys", (float)keys);
    PX_set_tablename(doc, "TABLE");

    char line[4096];
    while (fgets(line, sizeof line, stdin)) {
        line[strcspn(line, "\r\n")] = 0;
        pxval_t **values = doc->malloc(doc, sizeof(pxval_t *) * (size_t)n, "values");
        char *cursor = line;
        for (int f = 0; f < n; ++f) {
            char *end = strchr(cursor, '|');
            if (end)
                *end = 0;
            MAKE_PXVAL(doc, values[f]);
            values[f]->type = fields[f].px_ftype;
            if (!*cursor) {
                values[f]->isnull = 1;
            } else {
                switch (fields[f].px_ftype) {
                case pxfAlpha:
                    toCodePage1252(cursor);
                    values[f]->value.str.val = cursor;
                    values[f]->value.str.len = (int)strlen(cursor);
                    break;
                case pxfDate: {
                    int y = 0, m = 0, d = 0;
                    sscanf(cursor, "%d-%d-%d", &y, &m, &d);
                    values[f]->value.lval = PX_GregorianToSdn(y, m, d) - 1721425;
                    break;
                }
                case pxfNumber:
                case pxfCurrency:
                    values[f]->value.dval = strtod(cursor, NULL);
                    break;
                case pxfLogical:
                    values[f]->value.lval = *cursor == 'T';
                    break;
                default:
                    values[f]->value.lval = strtol(cursor, NULL, 10);
                }
            }
            cursor = end ? end + 1 : cursor + strlen(cursor);
        }
        if (PX_insert_record(doc, values) < 0)
            fprintf(stderr, "insert failed\n");
        for (int f = 0; f < n; ++f)
            FREE_PXVAL(doc, values[f]);
        doc->free(doc, values);
    }
    free(fieldList);
    PX_close(doc);
    PX_delete(doc);
    PX_shutdown();
    return 0;
}
