// Inkswap: looking at and correcting ZX Spectrum screen images.

#include "app/shell.h"

int main() {
    return inkswap::RunShell();
}
