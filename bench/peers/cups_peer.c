/* The CUPS side of bench/peers/run.sh: opens a generated PPD with libcups, times
   ppdConflicts on the marked defaults (a whole check, best of 5 x 2,000) and
   marking one option then cupsResolveConflicts for it (one change, best of
   5 x 200).  CPU time of the process, as constraint_peer measures ours. */
#include <cups/cups.h>
#include <cups/ppd.h>
#include <stdio.h>
#include <time.h>

static double now(void) {
    struct timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: cups_peer FILE.PPD\n");
        return 2;
    }
    double t0 = now();
    ppd_file_t* ppd = ppdOpenFile(argv[1]);
    double t1 = now();
    if (!ppd) {
        fprintf(stderr, "cups_peer: cannot open %s\n", argv[1]);
        return 1;
    }
    ppdMarkDefaults(ppd);
    int conflicts = 0;
    double best = 1e9;
    for (int rep = 0; rep < 5; rep++) {
        double a = now();
        for (int i = 0; i < 2000; i++) conflicts += ppdConflicts(ppd);
        double per = (now() - a) / 2000;
        if (per < best) best = per;
    }
    double best2 = 1e9;
    for (int rep = 0; rep < 5; rep++) {
        double a = now();
        for (int i = 0; i < 200; i++) {
            int n = 0;
            cups_option_t* opts = NULL;
            ppdMarkOption(ppd, "Opt3", (i & 1) ? "C1" : "C0");
            cupsResolveConflicts(ppd, "Opt3", (i & 1) ? "C1" : "C0", &n, &opts);
            cupsFreeOptions(n, opts);
        }
        double per = (now() - a) / 200;
        if (per < best2) best2 = per;
    }
    printf("open_ms=%.3f ppdConflicts_us=%.2f resolve_us=%.2f conflicts=%d\n", (t1 - t0) * 1e3, best * 1e6,
           best2 * 1e6, conflicts);
    ppdClose(ppd);
    return 0;
}
