// SPDX-License-Identifier: GPL-2.0-or-later
#include "FuzzSupport.h"

#include "PeImports.h"

// Any file on a disc is read for the DLLs it imports and its manifest without reading outside its
// bytes; a file that cannot be read yields neither, and nothing read is longer than the file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const PeImports pe = PeImports::Read(Bytes(data, size));
    if (!pe.valid && (!pe.imports.isEmpty() || !pe.manifest.isEmpty()))
        std::abort();
    if (pe.valid && !pe.pe)
        std::abort();
    if (pe.manifest.size() > static_cast<qsizetype>(size))
        std::abort();
    for (const QString &name : pe.imports) {
        if (name.isEmpty() || name.size() > static_cast<qsizetype>(size))
            std::abort();
    }
    return 0;
}
