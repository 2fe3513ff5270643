#include "FuzzSupport.h"

#include "ElfDynamic.h"

// Any file on a disc is read for the libraries it needs without reading outside its bytes; a file
// that cannot be read yields no names, and no name read is longer than the file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const ElfDynamic elf = ElfDynamic::Read(Bytes(data, size));
    if (!elf.valid && (!elf.needed.isEmpty() || !elf.rpath.isEmpty() || !elf.runpath.isEmpty()))
        std::abort();
    for (const QString &name : elf.needed) {
        if (name.size() > static_cast<qsizetype>(size))
            std::abort();
    }
    return 0;
}
