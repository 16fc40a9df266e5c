#include "launch/linkcheck.h"

#include <string.h>

#include <vector>

namespace {

const DWORD HeaderSize = 0x4C;
const BYTE LinkClassId[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                              0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

enum LinkFlag : DWORD {
    HasTargetIdList = 0x1,
    HasLinkInfo = 0x2,
    HasName = 0x4,
    HasRelativePath = 0x8,
    HasWorkingDir = 0x10,
    HasArguments = 0x20,
    HasIconLocation = 0x40,
    IsUnicode = 0x80,
};

enum LinkInfoFlag : DWORD {
    VolumeIdAndLocalBasePath = 0x1,
    NetworkLinkAndPathSuffix = 0x2,
};

const DWORD ValidDevice = 0x1;

// Bounds-checked little-endian reading of one stretch of the file.
class Bytes {
public:
    Bytes(const BYTE* data, size_t size) : data_(data), size_(size) {}

    size_t Size() const { return size_; }
    bool Has(size_t offset, size_t count) const { return offset <= size_ && count <= size_ - offset; }
    WORD Word(size_t offset) const { return (WORD)(data_[offset] | data_[offset + 1] << 8); }
    DWORD Dword(size_t offset) const
    {
        return (DWORD)data_[offset] | (DWORD)data_[offset + 1] << 8 |
               (DWORD)data_[offset + 2] << 16 | (DWORD)data_[offset + 3] << 24;
    }
    Bytes Part(size_t offset, size_t count) const { return Bytes(data_ + offset, count); }
    const BYTE* At(size_t offset) const { return data_ + offset; }

    // The length of the zero-terminated string of one- or two-byte
    // characters at offset, when it ends inside; -1 otherwise.
    long TextLength(size_t offset, size_t charSize) const
    {
        for (size_t at = offset; Has(at, charSize); at += charSize) {
            bool zero = data_[at] == 0 && (charSize == 1 || data_[at + 1] == 0);
            if (zero)
                return (long)((at - offset) / charSize);
        }
        return -1;
    }

private:
    const BYTE* data_;
    size_t size_;
};

// A path that ends inside the stretch and fits a path buffer; its length
// through *length.
bool PathAt(const Bytes& bytes, size_t offset, size_t charSize, long* length = nullptr)
{
    long found = bytes.TextLength(offset, charSize);
    if (length)
        *length = found;
    return found >= 0 && found < MAX_PATH;
}

bool IdListIsSound(const Bytes& list)
{
    size_t at = 0;
    while (list.Has(at, 2)) {
        WORD item = list.Word(at);
        if (item == 0)
            return at + 2 == list.Size();
        if (item < 2 || !list.Has(at, item))
            return false;
        at += item;
    }
    return false;
}

// The structure at offset that begins with its own size: at least `least`
// bytes, whole inside info; false when it is not.
bool SizedPart(const Bytes& info, size_t offset, DWORD least, Bytes* part)
{
    if (!info.Has(offset, least))
        return false;
    DWORD size = info.Dword(offset);
    if (size < least || !info.Has(offset, size))
        return false;
    *part = info.Part(offset, size);
    return true;
}

bool VolumeIdIsSound(const Bytes& info, size_t offset)
{
    Bytes volume(nullptr, 0);
    if (!SizedPart(info, offset, 0x10, &volume))
        return false;
    DWORD label = volume.Dword(12);
    if (label == 0x14)
        return volume.Has(0x10, 4) && volume.TextLength(volume.Dword(0x10), 2) >= 0;
    return volume.TextLength(label, 1) >= 0;
}

bool NetworkLinkIsSound(const Bytes& info, size_t offset)
{
    Bytes link(nullptr, 0);
    if (!SizedPart(info, offset, 0x14, &link))
        return false;
    DWORD flags = link.Dword(4);
    DWORD netName = link.Dword(8);
    if (link.TextLength(netName, 1) < 0)
        return false;
    if ((flags & ValidDevice) && link.TextLength(link.Dword(12), 1) < 0)
        return false;
    if (netName > 0x14) {
        if (!link.Has(0x14, 8) || link.TextLength(link.Dword(0x14), 2) < 0)
            return false;
        if ((flags & ValidDevice) && link.TextLength(link.Dword(0x18), 2) < 0)
            return false;
    }
    return true;
}

bool LinkInfoIsSound(const Bytes& info)
{
    if (info.Size() < 0x1C)
        return false;
    DWORD headerSize = info.Dword(4);
    if ((headerSize != 0x1C && headerSize < 0x24) || headerSize > info.Size())
        return false;
    DWORD flags = info.Dword(8);
    long baseLength = 0, suffixLength = 0;
    if (flags & VolumeIdAndLocalBasePath) {
        if (!VolumeIdIsSound(info, info.Dword(12)) || !PathAt(info, info.Dword(16), 1, &baseLength))
            return false;
        if (headerSize >= 0x24 && info.Dword(0x1C) && !PathAt(info, info.Dword(0x1C), 2))
            return false;
    }
    if ((flags & NetworkLinkAndPathSuffix) && !NetworkLinkIsSound(info, info.Dword(20)))
        return false;
    if (info.Dword(24) && !PathAt(info, info.Dword(24), 1, &suffixLength))
        return false;
    if (headerSize >= 0x24 && info.Dword(0x20) && !PathAt(info, info.Dword(0x20), 2))
        return false;
    // The target is the base path with the suffix after it.
    return baseLength + suffixLength < MAX_PATH;
}

// The five strings; *end is where the extra data begins.
bool StringsAreSound(const Bytes& file, size_t at, DWORD flags, size_t* end)
{
    static const struct {
        DWORD Flag;
        size_t Limit;
    } strings[] = {
        {HasName, MaxLinkTextLength},       {HasRelativePath, MAX_PATH},
        {HasWorkingDir, MAX_PATH},          {HasArguments, MaxLinkTextLength},
        {HasIconLocation, MAX_PATH},
    };
    size_t charSize = (flags & IsUnicode) ? 2 : 1;
    for (const auto& string : strings) {
        if (!(flags & string.Flag))
            continue;
        if (!file.Has(at, 2))
            return false;
        size_t count = file.Word(at);
        if (count >= string.Limit || !file.Has(at + 2, count * charSize))
            return false;
        at += 2 + count * charSize;
    }
    *end = at;
    return true;
}

// The fixed size of a block by its signature; 0 for a block whose size
// only has a floor, which *floor gives.
DWORD BlockSize(DWORD signature, DWORD* floor)
{
    *floor = 8;
    switch (signature) {
    case 0xA0000001:  // environment variables
    case 0xA0000006:  // installer id
    case 0xA0000007:  // icon environment
        return 0x314;
    case 0xA0000002: return 0xCC;  // console
    case 0xA0000003: return 0x60;  // tracker
    case 0xA0000004: return 0x0C;  // console code page
    case 0xA0000005: return 0x10;  // special folder
    case 0xA000000B: return 0x1C;  // known folder
    case 0xA0000008: *floor = 0x88; return 0;  // shim
    case 0xA0000009: *floor = 0x0C; return 0;  // property store
    case 0xA000000C: *floor = 0x0A; return 0;  // item id list
    default: return 0;
    }
}

bool ExtraDataIsSound(const Bytes& file, size_t at)
{
    while (at < file.Size()) {
        if (!file.Has(at, 4))
            return false;
        DWORD size = file.Dword(at);
        if (size < 4)
            return true;  // the terminal block
        if (size < 8 || !file.Has(at, size))
            return false;
        DWORD signature = file.Dword(at + 4);
        DWORD floor = 0;
        DWORD fixed = BlockSize(signature, &floor);
        if ((fixed && size != fixed) || size < floor)
            return false;
        // The blocks of 0x314 bytes hold a path twice: 260 one-byte and
        // 260 two-byte characters, each ended inside its field.
        if (fixed == 0x314) {
            Bytes block = file.Part(at, size);
            if (!PathAt(block.Part(8, MAX_PATH), 0, 1) || !PathAt(block.Part(8 + MAX_PATH, 2 * MAX_PATH), 0, 2))
                return false;
        }
        at += size;
    }
    return true;
}

} // namespace

bool ShellLinkIsSound(const BYTE* data, size_t size)
{
    if (!data || size < HeaderSize || size > MaxLinkFileSize)
        return false;
    Bytes file(data, size);
    if (file.Dword(0) != HeaderSize || memcmp(file.At(4), LinkClassId, sizeof LinkClassId) != 0)
        return false;
    DWORD flags = file.Dword(0x14);
    size_t at = HeaderSize;
    if (flags & HasTargetIdList) {
        if (!file.Has(at, 2))
            return false;
        size_t listSize = file.Word(at);
        if (!file.Has(at + 2, listSize) || !IdListIsSound(file.Part(at + 2, listSize)))
            return false;
        at += 2 + listSize;
    }
    if (flags & HasLinkInfo) {
        if (!file.Has(at, 4))
            return false;
        size_t infoSize = file.Dword(at);
        if (!file.Has(at, infoSize) || !LinkInfoIsSound(file.Part(at, infoSize)))
            return false;
        at += infoSize;
    }
    if (!StringsAreSound(file, at, flags, &at))
        return false;
    return ExtraDataIsSound(file, at);
}

bool ShellLinkFileIsSound(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    bool sound = false;
    if (size != INVALID_FILE_SIZE && high == 0 && size >= HeaderSize && size <= MaxLinkFileSize) {
        std::vector<BYTE> data(size);
        DWORD read = 0;
        sound = ReadFile(file, data.data(), size, &read, nullptr) && read == size &&
                ShellLinkIsSound(data.data(), size);
    }
    CloseHandle(file);
    return sound;
}
