// Draws the program's icon and writes it as an .ico file with 16, 32 and 48 pixel images, so that the
// repository holds no binary artwork. Built and run on the build machine: make-icon OUTPUT.ico
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

struct Colour {
    uint8_t r, g, b, a;
};

void Put16(std::vector<uint8_t>& out, unsigned value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

void Put32(std::vector<uint8_t>& out, unsigned value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// The colour of one pixel of an image `size` wide: a rounded square in the program's blue holding a
// white ring (the watched object) with a red centre (the indicator lit by a change).
Colour Pixel(int x, int y, int size) {
    const double s = size;
    const double cx = x + 0.5 - s / 2;
    const double cy = y + 0.5 - s / 2;
    const double corner = s * 0.18;
    const double half = s / 2 - 0.5;
    const double qx = std::fabs(cx) - (half - corner);
    const double qy = std::fabs(cy) - (half - corner);
    const double outside = std::hypot(std::fmax(qx, 0.0), std::fmax(qy, 0.0)) - corner;
    if (outside > 0.5) {
        return {0, 0, 0, 0};
    }
    const double r = std::hypot(cx, cy);
    if (r < s * 0.14) {
        return {255, 0, 0, 255};
    }
    if (r > s * 0.24 && r < s * 0.36) {
        return {255, 255, 255, 255};
    }
    return {54, 106, 179, 255};
}

// One icon image: a BITMAPINFOHEADER (height doubled for the mask), bottom-up BGRA rows, then the
// one-bit AND mask with rows padded to four bytes.
std::vector<uint8_t> Image(int size) {
    std::vector<uint8_t> out;
    Put32(out, 40);
    Put32(out, static_cast<unsigned>(size));
    Put32(out, static_cast<unsigned>(size * 2));
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const Colour c = Pixel(x, y, size);
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
            out.push_back(c.a);
        }
    }
    const int stride = (size + 31) / 32 * 4;
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(static_cast<size_t>(stride), 0);
        for (int x = 0; x < size; ++x) {
            if (Pixel(x, y, size).a == 0) {
                row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-icon OUTPUT.ico\n");
        return 2;
    }
    const int sizes[] = {16, 32, 48};
    std::vector<std::vector<uint8_t>> images;
    for (int size : sizes) {
        images.push_back(Image(size));
    }
    std::vector<uint8_t> file;
    Put16(file, 0);
    Put16(file, 1);  // an icon
    Put16(file, static_cast<unsigned>(images.size()));
    unsigned offset = 6 + 16 * static_cast<unsigned>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        file.push_back(static_cast<uint8_t>(sizes[i]));
        file.push_back(static_cast<uint8_t>(sizes[i]));
        file.push_back(0);  // no palette
        file.push_back(0);
        Put16(file, 1);
        Put16(file, 32);
        Put32(file, static_cast<unsigned>(images[i].size()));
        Put32(file, offset);
        offset += static_cast<unsigned>(images[i].size());
    }
    for (const auto& image : images) {
        file.insert(file.end(), image.begin(), image.end());
    }
    FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    const bool ok = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return (std::fclose(out) == 0 && ok) ? 0 : 1;
}
