// SPDX-License-Identifier: MIT
// Test helper: reads a Paradox table through pxlib and prints its fields and records, one line
// each, so that the tests see what an independent reader makes of our files.
//   FIELDS name:type:size ...
//   RECORDS n
//   value|value|...      (NULL for an empty value, dates as yyyy-mm-dd)
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

static int allZero(const char *p, int n)
{
    for (int i = 0; i < n; ++i)
        if (p[i])
            return 0;
    return 1;
}

static void printField(pxdoc_t *doc, const pxfield_t *f, char *p)
{
    const int len = f->px_flen;
    switch (f->px_ftype) {
    case pxfAlpha: {
        char *s = NULL;
        if (PX_get_data_alpha(doc, p, len, &s) > 0 && s) {
            printf("%s", s);
            doc->free(doc, s);
        } else {
            printf("NULL");
        }
        return;
    }
    case pxfDate:
    case pxfLong:
    case pxfAutoInc: {
        long v = 0;
        // pxlib 0.6.8 does not see a blank long on 64-bit systems: look at the bytes first.
        if (allZero(p, len) || PX_get_data_long(doc, p, len, &v) <= 0) {
            printf("NULL");
        } else if (f->px_ftype == pxfDate) {
            int y = 0, m = 0, d = 0;
            PX_SdnToGregorian(v + 1721425, &y, &m, &d);
            printf("%04d-%02d-%02d", y, m, d);
        } else {
            printf("%ld", v);
        }
        return;
    }
    case pxfShort: {
        short v = 0;
        if (PX_get_data_short(doc, p, len, &v) > 0)
            printf("%d", v);
        else
            printf("NULL");
        return;
    }
    case pxfNumber:
    case pxfCurrency: {
        double v = 0;
        if (PX_get_data_double(doc, p, len, &v) > 0)
            printf("%.17g", v);
        else
            printf("NULL");
        return;
    }
    case pxfLogical: {
        char v = 0;
        if (PX_get_data_byte(doc, p, len, &v) > 0)
            printf("%s", v ? "T" : "F");
        else
            printf("NULL");
        return;
    }
    default:
        printf("?");
    }
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: pxreader table.db\n");
        return 2;
    }
    PX_boot();
    pxdoc_t *doc = PX_new2(report, NULL, NULL, NULL);
    if (PX_open_file(doc, argv[1]) < 0) {
        fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    PX_set_targetencoding(doc, "UTF-8");
    const int fields = PX_get_num_fields(doc);
    const int records = PX_get_num_records(doc);
    pxfield_t *f = PX_get_fields(doc);
    printf("FIELDS");
    for (int i = 0; i < fields; ++i)
        printf(" %s:%d:%d", f[i].px_fname, f[i].px_ftype, f[i].px_flen);
    printf("\nRECORDS %d\n", records);
    char *buffer = malloc((size_t)PX_get_recordsize(doc));
    for (int r = 0; r < records; ++r) {
        if (!PX_get_record(doc, r, buffer)) {
            printf("ERROR %d\n", r);
            continue;
        }
        char *p = buffer;
        for (int i = 0; i < fields; ++i) {
            if (i)
                printf("|");
            printField(doc, &f[i], p);
            p += f[i].px_flen;
        }
        printf("\n");
    }
    free(buffer);
    PX_close(doc);
    PX_delete(doc);
    PX_shutdown();
    return 0;
}
