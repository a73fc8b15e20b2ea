#include "toolvane/data_files.h"

int Toolvane_ZamienZnakiWLancuchu(char *text, int maxLength, char find, char replacement) {
    if (text == nullptr) return 0;
    int replaced = 0;
    for (int i = 0; i < maxLength && text[i] != '\0' && text[i] != '\n'; ++i) {
        if (text[i] == find) {
            text[i] = replacement;
            ++replaced;
        }
    }
    return replaced;
}
