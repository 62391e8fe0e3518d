/* Preloaded into Audacity by its LV2 editor test only. Debian's Audacity 3.2 sets
 * SUIL_MODULE_DIR to an empty string at start-up, so suil looks for its X11-in-GTK3 wrapper
 * at "/libsuil_x11_in_gtk3.so", fails, and Audacity shows generic sliders instead of a
 * plug-in's editor. Here an empty value set for SUIL_MODULE_DIR becomes the folder named by
 * KRV_SUIL_MODULE_DIR (where the test found suil's wrappers); any other value is kept. Every
 * value set is reported in the file KRV_SUIL_REPORT (Audacity sends its stderr to /dev/null),
 * so that the test tells whether the package still has the fault. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#define SHIM __attribute__((visibility("default")))

static const char kName[] = "SUIL_MODULE_DIR";

/* The folder to put in place of an empty value, or NULL to keep what is set. */
static const char* correction(const char* value) {
    const char* folder = getenv("KRV_SUIL_MODULE_DIR");
    int replace = value[0] == '\0' && folder && folder[0];
    char line[2048];
    int length = snprintf(line, sizeof line,
                          "krv-suil-module-dir: SUIL_MODULE_DIR set to \"%s\"%s%s%s\n", value,
                          replace ? ", corrected to \"" : ", kept", replace ? folder : "",
                          replace ? "\"" : "");
    if (length >= (int)sizeof line) length = sizeof line - 1;
    const char* report = getenv("KRV_SUIL_REPORT");
    int file = report && length > 0 ? open(report, O_WRONLY | O_CREAT | O_APPEND, 0644) : -1;
    if (file >= 0) {
        /* A report that fails changes nothing. */
        ssize_t written = write(file, line, (size_t)length);
        (void)written;
        close(file);
    }
    return replace ? folder : NULL;
}

SHIM int setenv(const char* name, const char* value, int overwrite) {
    static int (*next)(const char*, const char*, int);
    if (!next) next = (int (*)(const char*, const char*, int))dlsym(RTLD_NEXT, "setenv");
    if (strcmp(name, kName) == 0) {
        const char* folder = correction(value);
        if (folder) value = folder;
    }
    return next(name, value, overwrite);
}

SHIM int putenv(char* entry) {
    static int (*next)(char*);
    if (!next) next = (int (*)(char*))dlsym(RTLD_NEXT, "putenv");
    size_t length = sizeof kName - 1;
    if (strncmp(entry, kName, length) == 0 && entry[length] == '=') {
        const char* folder = correction(entry + length + 1);
        /* putenv keeps the string it is given: the corrected one lives as long as the process. */
        char* corrected = folder ? malloc(length + 2 + strlen(folder)) : NULL;
        if (corrected) {
            sprintf(corrected, "%s=%s", kName, folder);
            entry = corrected;
        }
    }
    return next(entry);
}
