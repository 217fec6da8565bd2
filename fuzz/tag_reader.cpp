// The tag reader on bytes of any contents and length, the kind of file told from its first bytes as for a
// file whose name says nothing: a tag or none, never a crash, a hang or a read past the bytes; fields are
// text without NUL characters, and a length is never negative.
#include "fuzzcheck.h"
#include "tracks/trackinfo.h"

#include <cstdint>
#include <taglib/tbytevector.h>
#include <taglib/tbytevectorstream.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TagLib::ByteVector bytes(reinterpret_cast<const char*>(data), static_cast<unsigned int>(size));
    TagLib::ByteVectorStream stream(bytes);
    const quorvex::TrackInfo info = quorvex::readTrackInfo(stream);
    if (info.tag) {
        FUZZ_CHECK(!info.tag->isEmpty());
        for (const QString& field : {info.tag->title, info.tag->artist, info.tag->album}) {
            FUZZ_CHECK(!field.contains(QChar(0)));
        }
    }
    if (info.length) {
        FUZZ_CHECK(info.length->count() >= 0);
    }
    return 0;
}
