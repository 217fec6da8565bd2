// The ID3v1 reader on files of any contents and length: a tag exactly when the file is at least 128 bytes
// and its last 128 start with "TAG"; each field at most 30 characters, without NUL or trailing spaces.
#include "fuzzcheck.h"
#include "tracks/id3tag.h"

#include <cstdint>
#include <QByteArray>
#include <QFile>
#include <QString>
#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr qsizetype tagBytes = 128;
constexpr qsizetype fieldCharacters = 30;

void checkField(const QString& field) {
    FUZZ_CHECK(field.size() <= fieldCharacters);
    FUZZ_CHECK(!field.contains(QChar(0)));
    FUZZ_CHECK(!field.endsWith(QLatin1Char(' ')));
}

// The file lives in memory: no disk, and nothing left behind when the fuzzer stops.
class MemoryFile {
public:
    MemoryFile() : descriptor(memfd_create("id3v1-fuzz", MFD_CLOEXEC)) {}
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;
    MemoryFile(MemoryFile&&) = delete;
    MemoryFile& operator=(MemoryFile&&) = delete;
    ~MemoryFile() { ::close(descriptor); }

    bool hold(const std::uint8_t* data, std::size_t size) const {
        if (ftruncate(descriptor, 0) != 0 || lseek(descriptor, 0, SEEK_SET) != 0) {
            return false;
        }
        return size == 0 || ::write(descriptor, data, size) == static_cast<ssize_t>(size);
    }
    [[nodiscard]] QString path() const { return QStringLiteral("/proc/self/fd/%1").arg(descriptor); }

private:
    int descriptor;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const MemoryFile file;
    FUZZ_CHECK(file.hold(data, size));
    const QByteArray contents = QByteArrayView(data, static_cast<qsizetype>(size)).toByteArray();

    const std::optional<quorvex::TagFields> tag = quorvex::readId3v1(file.path());

    const bool tagged = contents.size() >= tagBytes && contents.right(tagBytes).startsWith("TAG");
    FUZZ_CHECK(tag.has_value() == tagged);
    if (tag) {
        checkField(tag->title);
        checkField(tag->artist);
        checkField(tag->album);
    }
    return 0;
}
