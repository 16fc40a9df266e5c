// imagegen: turns the text pixel art in app/res/*.txt into the .ico, .cur
// and .bmp files that the resource script includes. Host tool, standard
// library only; CMake builds it with the native compiler and runs it at
// build time (see cmake/Images.cmake).
//
//   imagegen -o OUTDIR [-e NAME]... SOURCE...
//
// -o  directory the images are written to (must exist)
// -e  a file name the sources must produce; when any -e is given, the
//     sources must produce exactly that set, so the build and the art
//     cannot drift apart silently.
//
// Source format, line by line:
//
//   # comment                       ignored, as are blank lines
//   [NAME.ico WxH]                  one image of an icon; an icon is the
//                                   sequence of all blocks with its name
//   [NAME.cur WxH hotspot=X,Y]      a cursor (one image)
//   [NAME.bmp WxH #N label...]      tile N of a bitmap strip; tiles are laid
//                                   left to right by N, which runs 0..count-1
//
// A header is followed by exactly H rows of exactly W characters. Each
// character is one pixel of the standard 16-colour palette:
//
//   k black     r maroon   g green    o olive    n navy   p purple
//   t teal      s silver   d grey     R red      G lime   Y yellow
//   B blue      M fuchsia  C aqua     w white
//   .  transparent (icons, cursors); silver background (bitmaps)
//   ~  inverts the screen (icons, cursors)
//
// Icons are written 4 bits per pixel with the 16-colour palette and an AND
// mask. A cursor that uses only '.', 'k', 'w' and '~' is written monochrome,
// any other 4 bits per pixel. Bitmaps are 4-bit BMPs, bottom-up.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Rgb {
    std::uint8_t r, g, b;
};

// Windows' standard 16 colours, in palette order.
const Rgb kPalette[16] = {
    {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
    {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
    {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};

// Pixel characters, in palette order: k=0 black ... w=15 white.
const char kLegend[] = "krgonptsdRGYBMCw";
const int kSilver = 7;
const int kWhite = 15;
const int kTransparent = -1;
const int kInvert = -2;
const int kBadPixel = -100;

int pixelValue(char c) {
    if (c == '.') return kTransparent;
    if (c == '~') return kInvert;
    for (int i = 0; i < 16; ++i)
        if (kLegend[i] == c) return i;
    return kBadPixel;
}

enum class Kind { Icon, Cursor, Bitmap };

struct Image {
    int w = 0, h = 0;
    std::vector<int> px;  // row-major, top row first
    int hotX = 0, hotY = 0;
    int tile = -1;
    std::string where;  // file:line of the header, for messages

    int at(int x, int y) const { return px[static_cast<std::size_t>(y * w + x)]; }
};

struct Output {
    Kind kind;
    std::vector<Image> images;
};

[[noreturn]] void fail(const std::string& msg) {
    std::cerr << "imagegen: " << msg << "\n";
    std::exit(1);
}

std::string trimRight(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.pop_back();
    return s;
}

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool parseSize(const std::string& tok, int& w, int& h) {
    int a = 0, b = 0;
    char x = 0, extra = 0;
    if (std::sscanf(tok.c_str(), "%d%c%d%c", &a, &x, &b, &extra) != 3 || x != 'x') return false;
    if (a < 1 || b < 1 || a > 256 || b > 256) return false;
    w = a;
    h = b;
    return true;
}

void parseSource(const std::string& path, std::map<std::string, Output>& outputs,
                 std::vector<std::string>& order) {
    std::ifstream in(path);
    if (!in) fail("cannot open " + path);

    std::string line;
    int lineNo = 0;
    Image* cur = nullptr;
    Kind curKind = Kind::Icon;
    int rowsLeft = 0;

    auto where = [&] { return path + ":" + std::to_string(lineNo); };

    while (std::getline(in, line)) {
        ++lineNo;
        line = trimRight(line);
        if (rowsLeft > 0) {
            if (line.empty() || line[0] == '#' || line[0] == '[')
                fail(where() + ": expected " + std::to_string(rowsLeft) +
                     " more pixel row(s) for the block at " + cur->where);
            if (static_cast<int>(line.size()) != cur->w)
                fail(where() + ": row is " + std::to_string(line.size()) + " pixels wide, expected " +
                     std::to_string(cur->w));
            for (std::size_t x = 0; x < line.size(); ++x) {
                int v = pixelValue(line[x]);
                if (v == kBadPixel)
                    fail(where() + ": unknown pixel character '" + std::string(1, line[x]) +
                         "' in column " + std::to_string(x + 1));
                if (curKind == Kind::Bitmap) {
                    if (v == kInvert) fail(where() + ": '~' is not allowed in a bitmap");
                    if (v == kTransparent) v = kSilver;
                }
                cur->px.push_back(v);
            }
            --rowsLeft;
            continue;
        }
        if (line.empty() || line[0] == '#') continue;
        if (line[0] != '[' || line.back() != ']')
            fail(where() + ": expected a [NAME WxH ...] header, got \"" + line + "\"");

        std::istringstream hs(line.substr(1, line.size() - 2));
        std::string name, size;
        hs >> name >> size;
        Image img;
        img.where = where();
        if (!parseSize(size, img.w, img.h)) fail(where() + ": bad size \"" + size + "\"");

        Kind kind;
        if (endsWith(name, ".ico")) kind = Kind::Icon;
        else if (endsWith(name, ".cur")) kind = Kind::Cursor;
        else if (endsWith(name, ".bmp")) kind = Kind::Bitmap;
        else fail(where() + ": \"" + name + "\" is not a .ico, .cur or .bmp name");

        std::string tok;
        if (kind == Kind::Cursor) {
            if (!(hs >> tok) || std::sscanf(tok.c_str(), "hotspot=%d,%d", &img.hotX, &img.hotY) != 2)
                fail(where() + ": a cursor needs hotspot=X,Y");
            if (img.hotX < 0 || img.hotY < 0 || img.hotX >= img.w || img.hotY >= img.h)
                fail(where() + ": hotspot outside the image");
        } else if (kind == Kind::Bitmap) {
            if (!(hs >> tok) || tok.size() < 2 || tok[0] != '#' ||
                std::sscanf(tok.c_str() + 1, "%d", &img.tile) != 1 || img.tile < 0)
                fail(where() + ": a bitmap tile needs #N after its size");
            // The rest of the line is a label for the reader.
        }
        if (kind != Kind::Bitmap && (hs >> tok))
            fail(where() + ": unexpected \"" + tok + "\" in the header");

        auto it = outputs.find(name);
        if (it == outputs.end()) {
            it = outputs.emplace(name, Output{kind, {}}).first;
            order.push_back(name);
        }
        Output& out = it->second;
        if (kind == Kind::Cursor && !out.images.empty())
            fail(where() + ": " + name + " is defined twice (a cursor has one image)");
        for (const Image& other : out.images) {
            if (kind == Kind::Icon && other.w == img.w && other.h == img.h)
                fail(where() + ": " + name + " already has a " + size + " image at " + other.where);
            if (kind == Kind::Bitmap && other.tile == img.tile)
                fail(where() + ": tile #" + std::to_string(img.tile) + " of " + name +
                     " already defined at " + other.where);
            if (kind == Kind::Bitmap && (other.w != img.w || other.h != img.h))
                fail(where() + ": all tiles of " + name + " must be " + std::to_string(other.w) + "x" +
                     std::to_string(other.h));
        }
        out.images.push_back(img);
        cur = &out.images.back();
        curKind = kind;
        rowsLeft = img.h;
        cur->px.reserve(static_cast<std::size_t>(img.w * img.h));
    }
    if (rowsLeft > 0)
        fail(path + ": file ends " + std::to_string(rowsLeft) + " row(s) short of the block at " + cur->where);
}

// Little-endian byte buffer.
struct Bytes {
    std::vector<std::uint8_t> v;
    void u8(unsigned x) { v.push_back(static_cast<std::uint8_t>(x)); }
    void u16(unsigned x) {
        u8(x & 0xff);
        u8((x >> 8) & 0xff);
    }
    void u32(std::uint32_t x) {
        u16(x & 0xffff);
        u16(x >> 16);
    }
    void append(const Bytes& o) { v.insert(v.end(), o.v.begin(), o.v.end()); }
    void padTo4(std::size_t rowStart) {
        while ((v.size() - rowStart) % 4) u8(0);
    }
};

int stride(int w, int bpp) { return ((w * bpp + 31) / 32) * 4; }

void paletteQuads(Bytes& b, int count) {
    for (int i = 0; i < count; ++i) {
        const Rgb& c = count == 2 ? kPalette[i ? kWhite : 0] : kPalette[i];
        b.u8(c.b);
        b.u8(c.g);
        b.u8(c.r);
        b.u8(0);
    }
}

// A DIB as stored inside .ico/.cur: header with doubled height, palette,
// XOR bits, AND mask; both bottom-up.
Bytes iconDib(const Image& img, int bpp) {
    const int colors = 1 << bpp;
    const int xorStride = stride(img.w, bpp);
    const int andStride = stride(img.w, 1);
    Bytes b;
    b.u32(40);
    b.u32(static_cast<std::uint32_t>(img.w));
    b.u32(static_cast<std::uint32_t>(img.h * 2));
    b.u16(1);
    b.u16(static_cast<unsigned>(bpp));
    b.u32(0);
    b.u32(static_cast<std::uint32_t>((xorStride + andStride) * img.h));
    b.u32(0);
    b.u32(0);
    b.u32(0);
    b.u32(0);
    paletteQuads(b, colors);

    for (int y = img.h - 1; y >= 0; --y) {
        std::size_t start = b.v.size();
        unsigned acc = 0;
        int nbits = 0;
        for (int x = 0; x < img.w; ++x) {
            int v = img.at(x, y);
            unsigned idx;
            if (v == kTransparent) idx = 0;
            else if (v == kInvert) idx = static_cast<unsigned>(colors - 1);  // white XOR = invert
            else idx = bpp == 1 ? (v == kWhite ? 1u : 0u) : static_cast<unsigned>(v);
            acc = (acc << bpp) | idx;
            nbits += bpp;
            if (nbits == 8) {
                b.u8(acc);
                acc = 0;
                nbits = 0;
            }
        }
        if (nbits) b.u8(acc << (8 - nbits));
        b.padTo4(start);
    }
    for (int y = img.h - 1; y >= 0; --y) {
        std::size_t start = b.v.size();
        unsigned acc = 0;
        int nbits = 0;
        for (int x = 0; x < img.w; ++x) {
            int v = img.at(x, y);
            acc = (acc << 1) | ((v == kTransparent || v == kInvert) ? 1u : 0u);
            if (++nbits == 8) {
                b.u8(acc);
                acc = 0;
                nbits = 0;
            }
        }
        if (nbits) b.u8(acc << (8 - nbits));
        b.padTo4(start);
    }
    return b;
}

bool isMonochrome(const Image& img) {
    for (int v : img.px)
        if (v != kTransparent && v != kInvert && v != 0 && v != kWhite) return false;
    return true;
}

Bytes iconFile(const Output& out) {
    const bool cursor = out.kind == Kind::Cursor;
    std::vector<const Image*> imgs;
    for (const Image& i : out.images) imgs.push_back(&i);
    // Largest first, as is customary.
    std::stable_sort(imgs.begin(), imgs.end(), [](const Image* a, const Image* b) { return a->w > b->w; });

    std::vector<Bytes> dibs;
    std::vector<int> bpps;
    for (const Image* i : imgs) {
        int bpp = (cursor && isMonochrome(*i)) ? 1 : 4;
        bpps.push_back(bpp);
        dibs.push_back(iconDib(*i, bpp));
    }

    Bytes f;
    f.u16(0);
    f.u16(cursor ? 2 : 1);
    f.u16(static_cast<unsigned>(imgs.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(imgs.size());
    for (std::size_t k = 0; k < imgs.size(); ++k) {
        const Image& i = *imgs[k];
        f.u8(i.w == 256 ? 0 : static_cast<unsigned>(i.w));
        f.u8(i.h == 256 ? 0 : static_cast<unsigned>(i.h));
        f.u8(bpps[k] == 1 ? 2 : 16);
        f.u8(0);
        if (cursor) {
            f.u16(static_cast<unsigned>(i.hotX));
            f.u16(static_cast<unsigned>(i.hotY));
        } else {
            f.u16(1);
            f.u16(static_cast<unsigned>(bpps[k]));
        }
        f.u32(static_cast<std::uint32_t>(dibs[k].v.size()));
        f.u32(offset);
        offset += static_cast<std::uint32_t>(dibs[k].v.size());
    }
    for (const Bytes& d : dibs) f.append(d);
    return f;
}

Bytes bitmapFile(const std::string& name, const Output& out) {
    const int n = static_cast<int>(out.images.size());
    std::vector<const Image*> tiles(static_cast<std::size_t>(n), nullptr);
    for (const Image& i : out.images) {
        if (i.tile >= n) fail(name + ": tile #" + std::to_string(i.tile) + " at " + i.where +
                              " but only " + std::to_string(n) + " tiles in all (they must run 0.." +
                              std::to_string(n - 1) + ")");
        tiles[static_cast<std::size_t>(i.tile)] = &i;
    }
    const int tw = out.images[0].w, th = out.images[0].h;
    const int w = tw * n, h = th;
    const int rowBytes = stride(w, 4);
    const std::uint32_t imageSize = static_cast<std::uint32_t>(rowBytes * h);
    const std::uint32_t bitsOffset = 14 + 40 + 16 * 4;

    Bytes f;
    f.u8('B');
    f.u8('M');
    f.u32(bitsOffset + imageSize);
    f.u16(0);
    f.u16(0);
    f.u32(bitsOffset);
    f.u32(40);
    f.u32(static_cast<std::uint32_t>(w));
    f.u32(static_cast<std::uint32_t>(h));
    f.u16(1);
    f.u16(4);
    f.u32(0);
    f.u32(imageSize);
    f.u32(2835);  // 72 dpi
    f.u32(2835);
    f.u32(16);
    f.u32(0);
    paletteQuads(f, 16);
    for (int y = h - 1; y >= 0; --y) {
        std::size_t start = f.v.size();
        unsigned acc = 0;
        int nbits = 0;
        for (int x = 0; x < w; ++x) {
            const Image& t = *tiles[static_cast<std::size_t>(x / tw)];
            acc = (acc << 4) | static_cast<unsigned>(t.at(x % tw, y));
            nbits += 4;
            if (nbits == 8) {
                f.u8(acc);
                acc = 0;
                nbits = 0;
            }
        }
        if (nbits) f.u8(acc << 4);
        f.padTo4(start);
    }
    return f;
}

void writeFile(const std::string& path, const Bytes& b) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) fail("cannot write " + path);
    out.write(reinterpret_cast<const char*>(b.v.data()), static_cast<std::streamsize>(b.v.size()));
    if (!out) fail("error writing " + path);
}

void usage() {
    std::cerr << "usage: imagegen -o OUTDIR [-e NAME]... SOURCE...\n";
    std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
    std::string outDir;
    std::vector<std::string> expected;
    std::vector<std::string> sources;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "-o" && i + 1 < argc) outDir = argv[++i];
        else if (a == "-e" && i + 1 < argc) expected.push_back(argv[++i]);
        else if (!a.empty() && a[0] == '-') usage();
        else sources.push_back(a);
    }
    if (outDir.empty() || sources.empty()) usage();

    std::map<std::string, Output> outputs;
    std::vector<std::string> order;
    for (const std::string& s : sources) parseSource(s, outputs, order);

    if (!expected.empty()) {
        std::set<std::string> want(expected.begin(), expected.end());
        std::set<std::string> have(order.begin(), order.end());
        std::string missing, extra;
        for (const std::string& n : want)
            if (!have.count(n)) missing += " " + n;
        for (const std::string& n : have)
            if (!want.count(n)) extra += " " + n;
        if (!missing.empty()) fail("the sources do not draw:" + missing);
        if (!extra.empty()) fail("the sources draw images the build does not expect:" + extra);
    }

    for (const std::string& name : order) {
        const Output& out = outputs[name];
        Bytes b = out.kind == Kind::Bitmap ? bitmapFile(name, out) : iconFile(out);
        writeFile(outDir + "/" + name, b);
    }
    return 0;
}
