#include "res_writer.h"

namespace rc {

namespace {

void writeId(ByteWriter& out, const ResourceId& id) {
    if (id.isOrdinal) {
        out.word(0xFFFF);
        out.word(id.ordinal);
    } else {
        out.text(id.name);
    }
}

void writeEntry(ByteWriter& out, const Resource& r) {
    size_t start = out.size();
    out.dword(static_cast<uint32_t>(r.data.size()));
    out.dword(0);  // header size, patched below
    writeId(out, r.type);
    writeId(out, r.name);
    out.alignTo(4);
    out.dword(0);  // data version
    out.word(r.memoryFlags);
    out.word(r.language);
    out.dword(r.version);
    out.dword(r.characteristics);
    out.patchDword(start + 4, static_cast<uint32_t>(out.size() - start));
    out.raw(r.data);
    out.alignTo(4);
}

}  // namespace

Bytes writeResStream(const ResourceSet& resources) {
    ByteWriter out;
    Resource empty;  // the stream's first, empty entry marks it as 32-bit
    empty.type = ResourceId::number(0);
    empty.name = ResourceId::number(0);
    empty.memoryFlags = 0;
    writeEntry(out, empty);
    for (const Resource& r : resources.all()) writeEntry(out, r);
    return out.take();
}

}  // namespace rc
