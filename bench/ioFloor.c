/* The floor for reading many headers: walk a folder, and for every *.nes
 * file open it, read 16 bytes and close it. One thread, nothing else.
 *
 *   ioFloor FOLDER      prints the number of headers read
 */
#define _DEFAULT_SOURCE
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <strings.h>
#include <unistd.h>

static long headers = 0;

static int isNes(const char* name) {
    size_t length = strlen(name);
    return length >= 4 && strcasecmp(name + length - 4, ".nes") == 0;
}

static void walk(const char* folder) {
    DIR* dir = opendir(folder);
    if (dir == NULL) {
        return;
    }
    struct dirent* entry;
    char path[4096];
    while ((entry = readdir(dir)) != NULL) {
        if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0) {
            continue;
        }
        snprintf(path, sizeof path, "%s/%s", folder, entry->d_name);
        if (entry->d_type == DT_DIR) {
            walk(path);
        } else if (entry->d_type == DT_REG && isNes(entry->d_name)) {
            unsigned char header[16];
            int fd = open(path, O_RDONLY | O_CLOEXEC);
            if (fd >= 0) {
                if (read(fd, header, sizeof header) == (ssize_t)sizeof header) {
                    ++headers;
                }
                close(fd);
            }
        }
    }
    closedir(dir);
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: ioFloor FOLDER\n");
        return 2;
    }
    walk(argv[1]);
    printf("%ld\n", headers);
    return 0;
}
