// Prints the store's key names, one a line, from the catalogue the tool is
// built with, so the benchmark's seeded store can be checked against it.
#include "settings/keys.h"

#include <cstdio>

int main() {
    for (const vq::keys::CatalogueEntry& e : vq::keys::catalogue())
        std::printf("%s\n", qPrintable(e.name));
}
