// Procedural generator for the demo's media: four seamless 1024x512 textures (PPM),
// the swarm sprite (PAM with binary alpha) and the soundtrack (16-bit stereo WAV).
// Everything is built from fixed seeds, so every run writes the same files.
//
//   media_gen OUTDIR
//
// writes OUTDIR/alumin1.ppm .. alumin4.ppm, OUTDIR/tumblewisp2.pam, OUTDIR/hollowmere2.wav.
// tools/make_media.sh compiles this file and converts the results to JPEG, PNG and MP3.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTau = 2.0 * kPi;

// ---------------------------------------------------------------- small helpers

double clamp01(double v)
{
    return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
}
double mix(double a, double b, double t)
{
    return a + (b - a) * t;
}
double smoothstep(double e0, double e1, double x)
{
    double t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0 - 2.0 * t);
}

struct Rgb {
    double r, g, b;
};
Rgb operator+(Rgb a, Rgb b)
{
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
Rgb operator*(Rgb a, double s)
{
    return {a.r * s, a.g * s, a.b * s};
}
Rgb mixc(Rgb a, Rgb b, double t)
{
    return {mix(a.r, b.r, t), mix(a.g, b.g, t), mix(a.b, b.b, t)};
}

uint8_t toByte(double v)
{
    return static_cast<uint8_t>(std::lround(clamp01(v) * 255.0));
}

// Integer hash to [0, 1).
uint32_t hash3(uint32_t x, uint32_t y, uint32_t seed)
{
    uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}
double hash01(uint32_t x, uint32_t y, uint32_t seed)
{
    return (hash3(x, y, seed) >> 8) * (1.0 / 16777216.0);
}

// Deterministic linear congruential generator (the same numbers on every platform).
struct Lcg {
    uint32_t state;
    explicit Lcg(uint32_t seed) : state(seed) {}
    uint32_t next()
    {
        state = state * 1664525u + 1013904223u;
        return state;
    }
    double uniform() { return (next() >> 8) * (1.0 / 16777216.0); } // [0, 1)
    double symmetric() { return uniform() * 2.0 - 1.0; }            // [-1, 1)
};

int wrapIndex(int i, int n)
{
    return ((i % n) + n) % n;
}

// Value noise on a lattice of periodX x periodY cells that wraps, so the noise
// repeats exactly after periodX units in x and periodY units in y.
double periodicNoise(double x, double y, int periodX, int periodY, uint32_t seed)
{
    double fx = std::floor(x), fy = std::floor(y);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    double tx = x - fx, ty = y - fy;
    tx = tx * tx * tx * (tx * (tx * 6.0 - 15.0) + 10.0);
    ty = ty * ty * ty * (ty * (ty * 6.0 - 15.0) + 10.0);
    uint32_t x0 = wrapIndex(ix, periodX), x1 = wrapIndex(ix + 1, periodX);
    uint32_t y0 = wrapIndex(iy, periodY), y1 = wrapIndex(iy + 1, periodY);
    double a = hash01(x0, y0, seed), b = hash01(x1, y0, seed);
    double c = hash01(x0, y1, seed), d = hash01(x1, y1, seed);
    return mix(mix(a, b, tx), mix(c, d, tx), ty);
}

// Fractal sum of periodic noise. u, v in [0, 1) cover one tile; the lattice starts at
// cellsX x cellsY and doubles every octave, so every octave tiles with the image.
double periodicFbm(double u, double v, int cellsX, int cellsY, int octaves, uint32_t seed)
{
    double sum = 0.0, amp = 1.0, norm = 0.0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * periodicNoise(u * cellsX, v * cellsY, cellsX, cellsY, seed + 101u * o);
        norm += amp;
        amp *= 0.5;
        cellsX *= 2;
        cellsY *= 2;
    }
    return sum / norm;
}

// ---------------------------------------------------------------- image files

struct Image {
    int width, height;
    std::vector<Rgb> pixels;
    Image(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, Rgb{0, 0, 0}) {}
    Rgb& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
};

bool writePpm(const std::string& path, const Image& img)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    std::fprintf(f, "P6\n%d %d\n255\n", img.width, img.height);
    std::vector<uint8_t> row(static_cast<size_t>(img.width) * 3);
    for (int y = 0; y < img.height; ++y) {
        for (int x = 0; x < img.width; ++x) {
            const Rgb& p = img.pixels[static_cast<size_t>(y) * img.width + x];
            row[x * 3 + 0] = toByte(p.r);
            row[x * 3 + 1] = toByte(p.g);
            row[x * 3 + 2] = toByte(p.b);
        }
        std::fwrite(row.data(), 1, row.size(), f);
    }
    return std::fclose(f) == 0;
}

// Height-field lighting with wrap-around differences, so shading is seamless too.
// Returns the dot product of the surface normal with a light from the upper left.
struct Lighting {
    double diffuse;
    double specular;
};
Lighting lightHeight(const std::vector<double>& h, int w, int hgt, int x, int y, double strength)
{
    auto H = [&](int xx, int yy) { return h[static_cast<size_t>(wrapIndex(yy, hgt)) * w + wrapIndex(xx, w)]; };
    double dx = (H(x + 1, y) - H(x - 1, y)) * 0.5 * strength;
    double dy = (H(x, y + 1) - H(x, y - 1)) * 0.5 * strength;
    double nx = -dx, ny = -dy, nz = 1.0;
    double len = std::sqrt(nx * nx + ny * ny + nz * nz);
    nx /= len, ny /= len, nz /= len;
    // Light from the upper left, viewer straight above.
    double lx = -0.45, ly = -0.55, lz = 0.70;
    double ll = std::sqrt(lx * lx + ly * ly + lz * lz);
    lx /= ll, ly /= ll, lz /= ll;
    double d = nx * lx + ny * ly + nz * lz;
    // Blinn half vector between light and view (0, 0, 1).
    double hx = lx, hy = ly, hz = lz + 1.0;
    double hl = std::sqrt(hx * hx + hy * hy + hz * hz);
    double s = std::max(0.0, (nx * hx + ny * hy + nz * hz) / hl);
    return {d, s};
}

constexpr int kTexW = 1024;
constexpr int kTexH = 512;

// 1: brushed aluminium plates, brushing direction alternating like a checkerboard,
//    with bevelled edges and four domed rivets per plate.
Image makeBrushedPlates()
{
    const int plate = 256; // 4 x 2 plates per tile
    std::vector<double> height(static_cast<size_t>(kTexW) * kTexH);
    std::vector<double> streak(height.size());
    for (int y = 0; y < kTexH; ++y) {
        for (int x = 0; x < kTexW; ++x) {
            double u = (x + 0.5) / kTexW, v = (y + 0.5) / kTexH;
            int px = x / plate, py = y / plate;
            int lx = x % plate, ly = y % plate;
            bool horizontal = ((px + py) & 1) == 0;
            // Long thin streaks: many lattice cells across the grain, few along it.
            double s;
            if (horizontal)
                s = 0.55 * periodicFbm(u, v, 4, 96, 3, 11) + 0.45 * periodicFbm(u, v, 16, 256, 2, 17);
            else
                s = 0.55 * periodicFbm(u, v, 192, 2, 3, 23) + 0.45 * periodicFbm(u, v, 512, 8, 2, 29);
            streak[static_cast<size_t>(y) * kTexW + x] = s;

            // Bevel: distance to the plate edge.
            double e = std::min(std::min(lx + 0.5, plate - 0.5 - lx), std::min(ly + 0.5, plate - 0.5 - ly));
            double h = smoothstep(0.0, 7.0, e) * 6.0;
            // Rivets near the corners.
            const double inset = 18.0, radius = 7.5;
            for (int cy = 0; cy < 2; ++cy) {
                for (int cx = 0; cx < 2; ++cx) {
                    double rx = cx ? plate - inset : inset, ry = cy ? plate - inset : inset;
                    double ddx = lx + 0.5 - rx, ddy = ly + 0.5 - ry;
                    double d2 = (ddx * ddx + ddy * ddy) / (radius * radius);
                    if (d2 < 1.0)
                        h += 5.0 * std::sqrt(1.0 - d2);
                    // A shallow ring around the rivet where the sheet is pressed in.
                    double d = std::sqrt(d2);
                    if (d > 1.0 && d < 1.6)
                        h -= 0.8 * std::sin((d - 1.0) / 0.6 * kPi);
                }
            }
            height[static_cast<size_t>(y) * kTexW + x] = h + s * 0.6;
        }
    }

    Image img(kTexW, kTexH);
    for (int y = 0; y < kTexH; ++y) {
        for (int x = 0; x < kTexW; ++x) {
            int px = x / plate, py = y / plate;
            int lx = x % plate, ly = y % plate;
            bool horizontal = ((px + py) & 1) == 0;
            double s = streak[static_cast<size_t>(y) * kTexW + x];
            Lighting l = lightHeight(height, kTexW, kTexH, x, y, 1.0);
            // Anisotropic sheen: a soft bright band across the grain of each plate.
            double across = horizontal ? (lx + 0.5) / plate : (ly + 0.5) / plate;
            double sheen = 0.5 + 0.5 * std::cos(kTau * (across - 0.35));
            double plateTone = 0.92 + 0.10 * hash01(px, py, 5);
            // One-pixel grain across the brushing direction.
            double grain = horizontal ? periodicNoise(x / 16.0, y, kTexW / 16, kTexH, 31)
                                      : periodicNoise(x, y / 32.0, kTexW, kTexH / 32, 37);
            double base = (0.50 + 0.26 * (s - 0.5) * 2.2 + 0.07 * (grain - 0.5)) * plateTone + 0.16 * sheen * sheen;
            double lit = base * (0.55 + 0.55 * l.diffuse) + 0.35 * std::pow(l.specular, 40.0);
            // Dark seam between plates.
            double e = std::min(std::min(lx + 0.5, plate - 0.5 - lx), std::min(ly + 0.5, plate - 0.5 - ly));
            lit *= 0.35 + 0.65 * smoothstep(0.0, 1.6, e);
            Rgb tint{0.93, 0.97, 1.04};
            img.at(x, y) = tint * lit;
        }
    }
    return img;
}

// 2: warm plasma built from sines with integer frequencies and periodic domain warping.
Image makeWarmPlasma()
{
    Image img(kTexW, kTexH);
    for (int y = 0; y < kTexH; ++y) {
        for (int x = 0; x < kTexW; ++x) {
            double u = kTau * (x + 0.5) / kTexW, v = kTau * (y + 0.5) / kTexH;
            double n = periodicFbm((x + 0.5) / kTexW, (y + 0.5) / kTexH, 8, 4, 4, 41);
            double a = std::sin(3.0 * u + 1.8 * std::sin(2.0 * v - u) + 2.0 * n);
            double b = std::sin(2.0 * v + 1.5 * std::cos(3.0 * u + v));
            double c = std::sin(2.0 * u + 3.0 * v + 1.2 * std::sin(5.0 * u - 2.0 * v));
            double d = std::cos(5.0 * u - v + 2.5 * n);
            double t = (a + b + c + 0.6 * d) / 3.6; // roughly -1..1
            double k = 0.5 + 0.5 * std::sin(kPi * 1.6 * t);
            // Palette: deep crimson -> red -> orange -> yellow-white, with a magenta touch.
            Rgb deep{0.25, 0.02, 0.08}, red{0.80, 0.10, 0.10}, orange{1.00, 0.50, 0.08}, hot{1.00, 0.92, 0.55};
            Rgb col;
            if (k < 0.33)
                col = mixc(deep, red, smoothstep(0.0, 0.33, k));
            else if (k < 0.70)
                col = mixc(red, orange, smoothstep(0.33, 0.70, k));
            else
                col = mixc(orange, hot, smoothstep(0.70, 1.0, k));
            double m = 0.5 + 0.5 * std::sin(2.0 * u - 3.0 * v + 3.0 * t);
            col = mixc(col, Rgb{0.70, 0.08, 0.40}, 0.28 * m * (1.0 - k));
            // Thin bright filaments where the field crosses zero.
            double fil = std::exp(-std::fabs(a + b) * 9.0);
            col = col + Rgb{0.30, 0.18, 0.05} * fil;
            img.at(x, y) = col;
        }
    }
    return img;
}

// Cellular noise on a wrapping grid: distances to the nearest and second nearest
// feature point, in pixels.
struct Cells {
    int cellsX, cellsY;
    double cellW, cellH;
    uint32_t seed;
    std::array<double, 2> distances(double x, double y) const
    {
        int cx = static_cast<int>(std::floor(x / cellW)), cy = static_cast<int>(std::floor(y / cellH));
        double f1 = 1e9, f2 = 1e9;
        for (int j = -1; j <= 1; ++j) {
            for (int i = -1; i <= 1; ++i) {
                int gx = cx + i, gy = cy + j;
                uint32_t wx = wrapIndex(gx, cellsX), wy = wrapIndex(gy, cellsY);
                double fx = (gx + 0.1 + 0.8 * hash01(wx, wy, seed)) * cellW;
                double fy = (gy + 0.1 + 0.8 * hash01(wx, wy, seed + 7)) * cellH;
                double d = std::hypot(x - fx, y - fy);
                if (d < f1) {
                    f2 = f1;
                    f1 = d;
                } else if (d < f2) {
                    f2 = d;
                }
            }
        }
        return {f1, f2};
    }
};

// 3: blue-green water caustics: two warped cellular layers over rolling waves.
Image makeCaustics()
{
    Image img(kTexW, kTexH);
    Cells big{16, 8, kTexW / 16.0, kTexH / 8.0, 61};
    Cells small{32, 16, kTexW / 32.0, kTexH / 16.0, 67};
    for (int y = 0; y < kTexH; ++y) {
        for (int x = 0; x < kTexW; ++x) {
            double fu = (x + 0.5) / kTexW, fv = (y + 0.5) / kTexH;
            double u = kTau * fu, v = kTau * fv;
            // Periodic warp, so warped coordinates still repeat with the tile.
            double wx = 22.0 * (periodicFbm(fu, fv, 6, 3, 3, 71) - 0.5) + 9.0 * std::sin(2.0 * v + u);
            double wy = 22.0 * (periodicFbm(fu, fv, 6, 3, 3, 73) - 0.5) + 9.0 * std::cos(3.0 * u - v);
            double sx = x + 0.5 + wx, sy = y + 0.5 + wy;
            sx = std::fmod(sx + 4.0 * kTexW, kTexW);
            sy = std::fmod(sy + 4.0 * kTexH, kTexH);
            auto d1 = big.distances(sx, sy);
            auto d2 = small.distances(std::fmod(sx + 17.0, kTexW), std::fmod(sy + 9.0, kTexH));
            double line1 = std::exp(-(d1[1] - d1[0]) / 3.2);
            double line2 = std::exp(-(d2[1] - d2[0]) / 2.2);
            double waves = 0.5 + 0.25 * std::sin(3.0 * u + 2.0 * v) + 0.25 * std::sin(5.0 * u - 3.0 * v + 1.3);
            Rgb deep{0.00, 0.10, 0.22}, mid{0.00, 0.34, 0.44}, cyan{0.45, 0.95, 0.95}, green{0.35, 0.90, 0.55};
            Rgb col = mixc(deep, mid, waves * 0.8 + 0.2 * (1.0 - d1[0] / big.cellW));
            col = col + cyan * (0.85 * line1) + green * (0.45 * line2 * (0.6 + 0.4 * waves));
            col = col + Rgb{0.8, 1.0, 1.0} * (0.35 * line1 * line2);
            img.at(x, y) = col;
        }
    }
    return img;
}

// 4: glazed tile mosaic: indigo and amber tiles with bevels, grout and inlaid diamonds.
Image makeMosaic()
{
    const int tile = 64; // 16 x 8 tiles per image
    const int tilesX = kTexW / tile, tilesY = kTexH / tile;
    std::vector<double> height(static_cast<size_t>(kTexW) * kTexH);
    for (int y = 0; y < kTexH; ++y) {
        for (int x = 0; x < kTexW; ++x) {
            int lx = x % tile, ly = y % tile;
            double ex = std::min(lx + 0.5, tile - 0.5 - lx), ey = std::min(ly + 0.5, tile - 0.5 - ly);
            double e = std::min(ex, ey);
            double h = e < 2.0 ? 0.0 : 2.0 + 6.0 * smoothstep(2.0, 9.0, e);
            // Inlaid diamond in the middle of every tile, slightly sunk.
            double dd = std::fabs(lx + 0.5 - tile / 2.0) + std::fabs(ly + 0.5 - tile / 2.0);
            if (dd < 17.0)
                h -= 1.5 * smoothstep(17.0, 14.0, dd);
            height[static_cast<size_t>(y) * kTexW + x] = h;
        }
    }
    Image img(kTexW, kTexH);
    for (int y = 0; y < kTexH; ++y) {
        for (int x = 0; x < kTexW; ++x) {
            int tx = x / tile, ty = y / tile;
            int lx = x % tile, ly = y % tile;
            double ex = std::min(lx + 0.5, tile - 0.5 - lx), ey = std::min(ly + 0.5, tile - 0.5 - ly);
            double e = std::min(ex, ey);
            // Pattern over the tile grid: concentric diamond rings of amber among indigo,
            // measured with wrap-around so the grid pattern repeats with the image.
            int cx = std::min(tx, tilesX - tx), cy = std::min(ty, tilesY - ty);
            bool amber = ((cx + cy) % 3) == 0;
            double jitter = hash01(tx, ty, 83);
            double glaze = periodicFbm((x + 0.5) / kTexW, (y + 0.5) / kTexH, 32, 16, 3, 89);
            Rgb col = amber ? mixc(Rgb{0.78, 0.50, 0.12}, Rgb{0.95, 0.72, 0.25}, 0.35 * jitter + 0.65 * glaze)
                            : mixc(Rgb{0.16, 0.08, 0.42}, Rgb{0.38, 0.18, 0.66}, 0.35 * jitter + 0.65 * glaze);
            double dd = std::fabs(lx + 0.5 - tile / 2.0) + std::fabs(ly + 0.5 - tile / 2.0);
            if (dd < 15.0) {
                Rgb inlay = amber ? Rgb{0.30, 0.12, 0.55} : Rgb{0.98, 0.80, 0.35};
                col = mixc(col, inlay, smoothstep(15.0, 13.0, dd));
            }
            Lighting l = lightHeight(height, kTexW, kTexH, x, y, 0.9);
            Rgb lit = col * (0.45 + 0.65 * std::max(0.0, l.diffuse)) +
                      Rgb{1.0, 0.95, 0.85} * (0.45 * std::pow(l.specular, 30.0));
            if (e < 2.0)
                lit = Rgb{0.10, 0.08, 0.09} * (0.8 + 0.4 * glaze); // grout
            img.at(x, y) = lit;
        }
    }
    return img;
}

// ---------------------------------------------------------------- sprite

struct Rgba8 {
    uint8_t r, g, b, a;
};

struct Sprite {
    int width, height;
    std::vector<Rgba8> pixels;
};

// Cuts a sprite down to its opaque pixels plus a one-pixel transparent margin.
Sprite cropToContent(const Sprite& s)
{
    int x0 = s.width, y0 = s.height, x1 = -1, y1 = -1;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            if (s.pixels[static_cast<size_t>(y) * s.width + x].a) {
                x0 = std::min(x0, x), x1 = std::max(x1, x);
                y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
    x0 = std::max(0, x0 - 1), y0 = std::max(0, y0 - 1);
    x1 = std::min(s.width - 1, x1 + 1), y1 = std::min(s.height - 1, y1 + 1);
    Sprite out{x1 - x0 + 1, y1 - y0 + 1, {}};
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            out.pixels.push_back(s.pixels[static_cast<size_t>(y) * s.width + x]);
    return out;
}

bool writePam(const std::string& path, const Sprite& sprite)
{
    int w = sprite.width, h = sprite.height;
    const std::vector<Rgba8>& px = sprite.pixels;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    std::fprintf(f, "P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n", w, h);
    std::fwrite(px.data(), 4, px.size(), f);
    return std::fclose(f) == 0;
}

// The tumblewisp: a glowing core inside a tangle of twigs with a few curling tendrils.
// Drawn with a depth buffer; the silhouette gets a one-pixel dark outline and the
// alpha is strictly 0 or 255.
Sprite makeTumblewisp(int W, int H)
{
    const double cx = W / 2.0, cy = H / 2.0;
    std::vector<double> depth(static_cast<size_t>(W) * H, -1e9);
    std::vector<Rgb> color(depth.size(), Rgb{0, 0, 0});
    auto plot = [&](double x, double y, double z, double radius, Rgb c) {
        int x0 = static_cast<int>(std::floor(x - radius)), x1 = static_cast<int>(std::ceil(x + radius));
        int y0 = static_cast<int>(std::floor(y - radius)), y1 = static_cast<int>(std::ceil(y + radius));
        for (int yy = std::max(0, y0); yy <= std::min(H - 1, y1); ++yy) {
            for (int xx = std::max(1, x0); xx <= std::min(W - 2, x1); ++xx) {
                if (yy < 1 || yy > H - 2)
                    continue; // keep a border for the outline
                double dx = xx + 0.5 - x, dy = yy + 0.5 - y;
                if (dx * dx + dy * dy > radius * radius)
                    continue;
                size_t i = static_cast<size_t>(yy) * W + xx;
                if (z > depth[i]) {
                    depth[i] = z;
                    color[i] = c;
                }
            }
        }
    };

    // Core orb.
    const double core = 25.0;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            double dx = (x + 0.5 - cx) / core, dy = (y + 0.5 - cy) / core;
            double r2 = dx * dx + dy * dy;
            if (r2 >= 1.0)
                continue;
            double nz = std::sqrt(1.0 - r2);
            double lambert = std::max(0.0, -0.40 * dx - 0.50 * dy + 0.77 * nz);
            double hx = -0.40, hy = -0.50, hz = 1.77;
            double hl = std::sqrt(hx * hx + hy * hy + hz * hz);
            double shine = std::pow(std::max(0.0, (dx * hx + dy * hy + nz * hz) / hl), 60.0);
            double glow = 1.0 - std::sqrt(r2);
            Rgb rim{0.95, 0.38, 0.10}, mid{1.00, 0.72, 0.22}, centre{1.00, 0.97, 0.80};
            Rgb c = mixc(rim, mid, smoothstep(0.0, 0.45, glow));
            c = mixc(c, centre, smoothstep(0.35, 0.9, glow));
            c = c * (0.55 + 0.55 * lambert) + Rgb{1, 1, 1} * (0.9 * shine);
            size_t i = static_cast<size_t>(y) * W + x;
            depth[i] = nz * core;
            color[i] = c;
        }
    }

    Lcg rng(20240611u);
    auto randomAxis = [&](double& ax, double& ay, double& az) {
        do {
            ax = rng.symmetric(), ay = rng.symmetric(), az = rng.symmetric();
        } while (ax * ax + ay * ay + az * az > 1.0 || ax * ax + ay * ay + az * az < 0.05);
        double l = std::sqrt(ax * ax + ay * ay + az * az);
        ax /= l, ay /= l, az /= l;
    };
    // Twigs: wobbly great circles and arcs around the core.
    auto twig = [&](double baseRadius, double start, double span, double thickness, double tintShift) {
        double nx, ny, nz;
        randomAxis(nx, ny, nz);
        // Two unit vectors perpendicular to the axis.
        double ax = std::fabs(nx) < 0.9 ? 1.0 : 0.0, ay = ax == 1.0 ? 0.0 : 1.0, az = 0.0;
        double e1x = ay * nz - az * ny, e1y = az * nx - ax * nz, e1z = ax * ny - ay * nx;
        double l1 = std::sqrt(e1x * e1x + e1y * e1y + e1z * e1z);
        e1x /= l1, e1y /= l1, e1z /= l1;
        double e2x = ny * e1z - nz * e1y, e2y = nz * e1x - nx * e1z, e2z = nx * e1y - ny * e1x;
        double p1 = rng.uniform() * kTau, p2 = rng.uniform() * kTau;
        double steps = span * baseRadius * 3.0;
        for (int s = 0; s <= steps; ++s) {
            double th = start + span * s / steps;
            double r = baseRadius * (1.0 + 0.10 * std::sin(3.0 * th + p1) + 0.06 * std::sin(7.0 * th + p2));
            double px = r * (std::cos(th) * e1x + std::sin(th) * e2x);
            double py = r * (std::cos(th) * e1y + std::sin(th) * e2y);
            double pz = r * (std::cos(th) * e1z + std::sin(th) * e2z);
            double front = clamp01((pz / baseRadius + 1.0) * 0.5);
            Rgb straw = mixc(Rgb{0.55, 0.36, 0.16}, Rgb{1.00, 0.88, 0.55}, front);
            straw = mixc(straw, Rgb{1.0, 0.70, 0.35}, tintShift);
            plot(cx + px, cy + py, pz, thickness * (0.85 + 0.3 * front), straw);
        }
    };
    for (int i = 0; i < 11; ++i)
        twig(50.0 + 8.0 * rng.uniform(), 0.0, kTau, 1.35, 0.3 * rng.uniform());
    for (int i = 0; i < 16; ++i)
        twig(36.0 + 24.0 * rng.uniform(), rng.uniform() * kTau, 0.8 + 1.2 * rng.uniform(), 1.1, 0.5 * rng.uniform());

    // Tendrils: tapering strokes that leave the ball and roll up into a curl at the tip,
    // glowing pale cyan. The heading turns faster and faster along the stroke.
    for (int k = 0; k < 3; ++k) {
        double a0 = kTau * (k / 3.0) + 0.6;
        double x = cx + 44.0 * std::cos(a0), y = cy + 44.0 * std::sin(a0);
        double heading = a0 + 0.75;
        const int steps = 600;
        const double length = 92.0, ds = length / steps;
        for (int s = 0; s <= steps; ++s) {
            double t = static_cast<double>(s) / steps;
            Rgb c = mixc(Rgb{1.00, 0.85, 0.45}, Rgb{0.55, 1.00, 0.98}, smoothstep(0.0, 0.5, t));
            c = mixc(c, Rgb{1.0, 1.0, 1.0}, 0.6 * smoothstep(0.75, 1.0, t));
            plot(x, y, 70.0, 3.2 * (1.0 - t) + 1.1, c);
            heading += (0.012 + 0.20 * t * t * t) * ds;
            x += ds * std::cos(heading);
            y += ds * std::sin(heading);
        }
    }

    // Binary alpha plus a one-pixel dark outline around the silhouette.
    std::vector<Rgba8> out(depth.size(), Rgba8{0, 0, 0, 0});
    auto solid = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < W && y < H && depth[static_cast<size_t>(y) * W + x] > -1e8;
    };
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            size_t i = static_cast<size_t>(y) * W + x;
            if (solid(x, y)) {
                out[i] = Rgba8{toByte(color[i].r), toByte(color[i].g), toByte(color[i].b), 255};
                continue;
            }
            bool edge = false;
            for (int j = -1; j <= 1 && !edge; ++j)
                for (int k = -1; k <= 1 && !edge; ++k)
                    edge = solid(x + k, y + j);
            if (edge)
                out[i] = Rgba8{28, 14, 30, 255};
        }
    }
    return cropToContent(Sprite{W, H, out});
}

// ---------------------------------------------------------------- music

constexpr int kRate = 44100;
constexpr double kBpm = 120.0;
constexpr double kBeat = 60.0 / kBpm;
constexpr double kStep = kBeat / 4.0; // sixteenth note
constexpr double kBar = kBeat * 4.0;

double midiFreq(double note)
{
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

struct Stereo {
    std::vector<float> l, r;
    explicit Stereo(size_t n) : l(n, 0.0f), r(n, 0.0f) {}
    size_t size() const { return l.size(); }
    void add(size_t i, double v, double pan)
    { // pan -1 (left) .. 1 (right), constant power
        if (i >= l.size())
            return;
        double a = (pan + 1.0) * kPi / 4.0;
        l[i] += static_cast<float>(v * std::cos(a));
        r[i] += static_cast<float>(v * std::sin(a));
    }
};

// Topology-preserving state-variable filter (stable at any cutoff).
struct Svf {
    double ic1 = 0, ic2 = 0;
    double low = 0, band = 0, high = 0;
    void run(double x, double cutoff, double q)
    {
        cutoff = std::min(cutoff, kRate * 0.45);
        double g = std::tan(kPi * cutoff / kRate);
        double k = 1.0 / q;
        double a1 = 1.0 / (1.0 + g * (g + k));
        double a2 = g * a1, a3 = g * a2;
        double v3 = x - ic2;
        double v1 = a1 * ic1 + a2 * v3;
        double v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2.0 * v1 - ic1;
        ic2 = 2.0 * v2 - ic2;
        low = v2;
        band = v1;
        high = x - k * v1 - v2;
    }
};

double polyBlep(double t, double dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}
double sawAt(double phase, double dt)
{
    return 2.0 * phase - 1.0 - polyBlep(phase, dt);
}
double pulseAt(double phase, double dt, double width)
{
    double p2 = phase + (1.0 - width);
    if (p2 >= 1.0)
        p2 -= 1.0;
    return (phase < width ? 1.0 : -1.0) + polyBlep(phase, dt) - polyBlep(p2, dt);
}

double adsr(double t, double length, double a, double d, double s, double r)
{
    double level;
    if (t < a)
        level = t / a;
    else if (t < a + d)
        level = 1.0 - (1.0 - s) * (t - a) / d;
    else
        level = s;
    if (t > length) {
        double rel = (t - length) / r;
        // Release from the level held at note-off.
        double atOff = length < a ? length / a : (length < a + d ? 1.0 - (1.0 - s) * (length - a) / d : s);
        level = atOff * std::max(0.0, 1.0 - rel);
    }
    return level;
}

struct Mixer {
    Stereo dry, delaySend, reverbSend;
    explicit Mixer(size_t n) : dry(n), delaySend(n), reverbSend(n) {}
};

size_t sampleAt(double seconds)
{
    return static_cast<size_t>(std::lround(seconds * kRate));
}

// Drums ------------------------------------------------------------------------
Lcg gNoise(0x5eed1234u);
double noise()
{
    return gNoise.symmetric();
}

void kick(Mixer& m, double when, double gain)
{
    size_t s0 = sampleAt(when);
    double phase = 0.0;
    for (int i = 0; i < kRate * 0.75; ++i) {
        double t = static_cast<double>(i) / kRate;
        double f = 46.0 + 120.0 * std::exp(-t * 32.0);
        phase += f / kRate;
        double v = std::sin(kTau * phase) * std::exp(-t * 6.5);
        if (t < 0.004)
            v += 0.5 * noise() * (1.0 - t / 0.004);
        v = std::tanh(1.6 * v);
        m.dry.add(s0 + i, v * gain, 0.0);
    }
}

void snare(Mixer& m, double when, double gain)
{
    size_t s0 = sampleAt(when);
    Svf bp;
    for (int i = 0; i < kRate * 0.3; ++i) {
        double t = static_cast<double>(i) / kRate;
        bp.run(noise(), 2200.0, 0.9);
        double body = std::sin(kTau * 185.0 * t) * std::exp(-t * 30.0);
        double v = (bp.band * 1.6 * std::exp(-t * 17.0) + 0.6 * body);
        m.dry.add(s0 + i, v * gain, 0.08);
        m.reverbSend.add(s0 + i, v * gain * 0.35, 0.0);
    }
}

void hat(Mixer& m, double when, double gain, bool open, double pan)
{
    size_t s0 = sampleAt(when);
    Svf hp;
    double decay = open ? 11.0 : 70.0;
    int len = static_cast<int>(kRate * (open ? 0.35 : 0.08));
    for (int i = 0; i < len; ++i) {
        double t = static_cast<double>(i) / kRate;
        hp.run(noise(), 7500.0, 0.7);
        m.dry.add(s0 + i, hp.high * std::exp(-t * decay) * gain, pan);
    }
}

void crash(Mixer& m, double when, double gain)
{
    size_t s0 = sampleAt(when);
    Svf hl, hr;
    for (int i = 0; i < kRate * 2.2; ++i) {
        double t = static_cast<double>(i) / kRate;
        hl.run(noise(), 4500.0, 0.6);
        hr.run(noise(), 4800.0, 0.6);
        double env = std::exp(-t * 2.3) * std::min(1.0, t / 0.002);
        m.dry.add(s0 + i, hl.high * env * gain, -1.0);
        m.dry.add(s0 + i, hr.high * env * gain, 1.0);
        m.reverbSend.add(s0 + i, (hl.high + hr.high) * env * gain * 0.2, 0.0);
    }
}

// Pitched voices ------------------------------------------------------------------
void padNote(Mixer& m, double when, double length, double note, double gain)
{
    size_t s0 = sampleAt(when);
    const double release = 0.9;
    int total = static_cast<int>((length + release) * kRate);
    const double detune[3] = {-0.11, 0.0, 0.12}; // semitones
    const double pans[3] = {-0.7, 0.0, 0.7};
    double phase[3] = {0.13, 0.57, 0.81};
    Svf f[3];
    for (int i = 0; i < total; ++i) {
        double t = static_cast<double>(i) / kRate;
        double env = adsr(t, length, 0.35, 0.6, 0.75, release);
        double cutoff = 700.0 + 900.0 * (0.5 + 0.5 * std::sin(kTau * 0.23 * (when + t))) * env;
        for (int v = 0; v < 3; ++v) {
            double freq = midiFreq(note + detune[v]);
            double dt = freq / kRate;
            phase[v] += dt;
            if (phase[v] >= 1.0)
                phase[v] -= 1.0;
            f[v].run(sawAt(phase[v], dt), cutoff, 0.8);
            double s = f[v].low * env * gain;
            m.dry.add(s0 + i, s, pans[v]);
            m.reverbSend.add(s0 + i, s * 0.5, pans[v]);
        }
    }
}

void bassNote(Mixer& m, double when, double length, double note, double gain)
{
    size_t s0 = sampleAt(when);
    int total = static_cast<int>((length + 0.08) * kRate);
    double freq = midiFreq(note), dt = freq / kRate;
    double phase = 0.0, sub = 0.0;
    Svf f;
    for (int i = 0; i < total; ++i) {
        double t = static_cast<double>(i) / kRate;
        phase += dt;
        if (phase >= 1.0)
            phase -= 1.0;
        sub += dt * 0.5;
        if (sub >= 1.0)
            sub -= 1.0;
        double fenv = std::exp(-t * 14.0);
        f.run(sawAt(phase, dt), 180.0 + 1500.0 * fenv, 1.6);
        double env = adsr(t, length, 0.004, 0.15, 0.7, 0.07);
        double v = (0.8 * f.low + 0.55 * std::sin(kTau * sub)) * env * gain;
        m.dry.add(s0 + i, v, 0.0);
    }
}

void arpNote(Mixer& m, double when, double note, double gain, double pan)
{
    size_t s0 = sampleAt(when);
    int total = static_cast<int>(0.5 * kRate);
    double freq = midiFreq(note), dt = freq / kRate, phase = 0.0;
    Svf f;
    for (int i = 0; i < total; ++i) {
        double t = static_cast<double>(i) / kRate;
        phase += dt;
        if (phase >= 1.0)
            phase -= 1.0;
        f.run(pulseAt(phase, dt, 0.3), 1400.0 + 2600.0 * std::exp(-t * 18.0), 0.9);
        double env = std::min(1.0, t / 0.003) * std::exp(-t * 11.0);
        double v = f.low * env * gain;
        m.dry.add(s0 + i, v, pan);
        m.delaySend.add(s0 + i, v * 0.5, pan);
    }
}

void leadNote(Mixer& m, double when, double length, double note, double gain)
{
    size_t s0 = sampleAt(when);
    const double release = 0.25;
    int total = static_cast<int>((length + release) * kRate);
    double freq = midiFreq(note);
    double phase = 0.0, phase2 = 0.31;
    Svf f;
    for (int i = 0; i < total; ++i) {
        double t = static_cast<double>(i) / kRate;
        // Vibrato fades in on longer notes.
        double vib = 1.0 + 0.0045 * std::sin(kTau * 5.2 * t) * smoothstep(0.18, 0.5, t);
        double dt = freq * vib / kRate, dt2 = freq * vib * 1.004 / kRate;
        phase += dt;
        if (phase >= 1.0)
            phase -= 1.0;
        phase2 += dt2;
        if (phase2 >= 1.0)
            phase2 -= 1.0;
        double tri = 1.0 - 4.0 * std::fabs(phase - 0.5);
        double raw = 0.6 * tri + 0.35 * sawAt(phase2, dt2);
        double env = adsr(t, length, 0.012, 0.18, 0.65, release);
        f.run(raw, 1800.0 + 2600.0 * env, 0.8);
        double v = f.low * env * gain;
        m.dry.add(s0 + i, v, 0.05);
        m.delaySend.add(s0 + i, v * 0.35, 0.0);
        m.reverbSend.add(s0 + i, v * 0.4, 0.0);
    }
}

// Effects -----------------------------------------------------------------------
// Ping-pong delay of a dotted eighth with a darkened feedback path.
void pingPong(const Stereo& in, Stereo& out)
{
    size_t d = sampleAt(kBeat * 0.75);
    std::vector<double> bl(d, 0.0), br(d, 0.0);
    double lpL = 0.0, lpR = 0.0;
    for (size_t i = 0; i < in.size(); ++i) {
        size_t k = i % d;
        double yl = bl[k], yr = br[k];
        lpL += 0.35 * (yl - lpL);
        lpR += 0.35 * (yr - lpR);
        double mono = 0.5 * (in.l[i] + in.r[i]);
        bl[k] = mono + 0.45 * lpR;
        br[k] = 0.45 * lpL;
        out.l[i] += static_cast<float>(yl * 0.8);
        out.r[i] += static_cast<float>(yr * 0.8);
    }
}

// A small Schroeder reverb (parallel damped combs into series allpasses).
struct Comb {
    std::vector<double> buf;
    size_t pos = 0;
    double store = 0.0;
    explicit Comb(size_t n) : buf(n, 0.0) {}
    double run(double x, double feedback, double damp)
    {
        double y = buf[pos];
        store = y * (1.0 - damp) + store * damp;
        buf[pos] = x + store * feedback;
        if (++pos >= buf.size())
            pos = 0;
        return y;
    }
};
struct Allpass {
    std::vector<double> buf;
    size_t pos = 0;
    explicit Allpass(size_t n) : buf(n, 0.0) {}
    double run(double x)
    {
        double b = buf[pos];
        double y = b - x;
        buf[pos] = x + b * 0.5;
        if (++pos >= buf.size())
            pos = 0;
        return y;
    }
};
void reverb(const Stereo& in, Stereo& out)
{
    const size_t combLen[4] = {1116, 1188, 1277, 1356};
    const size_t apLen[2] = {556, 441};
    for (int ch = 0; ch < 2; ++ch) {
        size_t spread = ch ? 23 : 0;
        std::vector<Comb> combs;
        std::vector<Allpass> aps;
        for (size_t n : combLen)
            combs.emplace_back(n + spread);
        for (size_t n : apLen)
            aps.emplace_back(n + spread);
        const std::vector<float>& src = ch ? in.r : in.l;
        std::vector<float>& dst = ch ? out.r : out.l;
        for (size_t i = 0; i < src.size(); ++i) {
            double x = src[i] * 0.25, acc = 0.0;
            for (Comb& c : combs)
                acc += c.run(x, 0.83, 0.3);
            for (Allpass& a : aps)
                acc = a.run(acc);
            dst[i] += static_cast<float>(acc * 0.9);
        }
    }
}

// The song ------------------------------------------------------------------------
struct Note {
    double note; // MIDI number, < 0 for a rest
    double beats;
};

bool writeWav(const std::string& path, const Stereo& s)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    auto u32 = [&](uint32_t v) {
        uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
        std::fwrite(b, 1, 4, f);
    };
    auto u16 = [&](uint16_t v) {
        uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
        std::fwrite(b, 1, 2, f);
    };
    uint32_t dataBytes = static_cast<uint32_t>(s.size() * 4);
    std::fwrite("RIFF", 1, 4, f);
    u32(36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    u32(16);
    u16(1); // PCM
    u16(2);
    u32(kRate);
    u32(kRate * 4);
    u16(4);
    u16(16);
    std::fwrite("data", 1, 4, f);
    u32(dataBytes);
    for (size_t i = 0; i < s.size(); ++i) {
        auto q = [](float v) {
            long x = std::lround(static_cast<double>(v) * 32767.0);
            return static_cast<uint16_t>(static_cast<int16_t>(std::clamp(x, -32768L, 32767L)));
        };
        u16(q(s.l[i]));
        u16(q(s.r[i]));
    }
    return std::fclose(f) == 0;
}

Stereo makeSong()
{
    // A minor, i - VI - III - VII (Am F C G), one chord per bar, 120 BPM.
    // Bars 0-3 intro, 4-11 theme (two phrases), 12-19 second theme, 20 final chord.
    const int kBars = 21;
    const double tail = 3.0;
    const size_t n = sampleAt(kBars * kBar + tail);
    Mixer m(n);

    struct Chord {
        int root;     // bass note
        int tones[3]; // pad voicing
    };
    const Chord prog[4] = {
        {45, {57, 60, 64}}, // Am: A3 C4 E4
        {41, {57, 60, 65}}, // F:  A3 C4 F4
        {48, {55, 60, 64}}, // C:  G3 C4 E4
        {43, {55, 59, 62}}, // G:  G3 B3 D4
    };

    // Melodies, one line of notes per bar (each bar adds up to four beats).
    const std::vector<std::vector<Note>> themeA = {
        {{76, 1.5}, {74, 0.5}, {72, 1}, {76, 1}}, {{77, 1.5}, {76, 0.5}, {72, 1}, {69, 1}},
        {{67, 1}, {72, 1}, {76, 1}, {79, 1}},     {{77, 1.5}, {76, 0.5}, {74, 1}, {71, 1}},
        {{72, 1}, {76, 1}, {81, 1.5}, {79, 0.5}}, {{77, 1}, {81, 1}, {84, 1.5}, {81, 0.5}},
        {{79, 1.5}, {76, 0.5}, {72, 1}, {76, 1}}, {{74, 2}, {71, 1}, {74, 1}},
    };
    const std::vector<std::vector<Note>> themeB = {
        {{81, 0.5}, {79, 0.5}, {76, 0.5}, {79, 0.5}, {81, 1}, {84, 1}},
        {{81, 0.5}, {79, 0.5}, {77, 0.5}, {79, 0.5}, {81, 2}},
        {{79, 0.5}, {76, 0.5}, {72, 0.5}, {76, 0.5}, {79, 1}, {84, 1}},
        {{83, 1.5}, {81, 0.5}, {79, 1}, {74, 1}},
        {{76, 0.5}, {81, 0.5}, {84, 0.5}, {81, 0.5}, {88, 1}, {86, 0.5}, {84, 0.5}},
        {{84, 1}, {81, 1}, {77, 1}, {81, 1}},
        {{79, 1}, {76, 0.5}, {79, 0.5}, {84, 1}, {83, 0.5}, {84, 0.5}},
        {{86, 1.5}, {83, 0.5}, {79, 1}, {83, 1}},
    };
    auto playLine = [&](const std::vector<Note>& bar, double start, double gain) {
        double t = start;
        for (const Note& nt : bar) {
            double len = nt.beats * kBeat;
            if (nt.note >= 0)
                leadNote(m, t, len * 0.9, nt.note, gain);
            t += len;
        }
    };

    const int arpPattern[16] = {0, 1, 2, 4, 2, 1, 3, 1, 0, 2, 4, 2, 5, 2, 4, 1};
    for (int bar = 0; bar < kBars; ++bar) {
        const Chord& ch = prog[bar % 4];
        double t0 = bar * kBar;
        bool last = bar == kBars - 1;
        bool intro = bar < 4;
        bool drums = bar >= 3 && !last;

        // Pad: one chord per bar, the last one held longer.
        double padGain = intro ? 0.05 + 0.012 * bar : 0.068;
        for (int tone : ch.tones)
            padNote(m, t0, last ? kBar * 1.3 : kBar * 0.98, tone, padGain);

        // Arpeggio of chord tones over two octaves, sixteenth notes.
        if (!last) {
            int tones[6] = {ch.tones[0] + 12, ch.tones[1] + 12, ch.tones[2] + 12,
                            ch.tones[0] + 24, ch.tones[1] + 24, ch.tones[2] + 24};
            double arpGain = intro ? 0.05 + 0.012 * bar : (bar < 12 ? 0.045 : 0.06);
            for (int s = 0; s < 16; ++s)
                arpNote(m, t0 + s * kStep, tones[arpPattern[s]], arpGain * (s % 4 == 0 ? 1.0 : 0.75),
                        (s % 2) ? 0.35 : -0.35);
        }

        // Bass line in eighths: root, root, octave, root, root, fifth, octave, root.
        if (bar >= 4 && !last) {
            const int offs[8] = {0, 0, 12, 0, 0, 7, 12, 0};
            for (int e = 0; e < 8; ++e) {
                bool busy = bar >= 12;
                double len = (busy || e % 2 == 0) ? kBeat * 0.45 : kBeat * 0.3;
                bassNote(m, t0 + e * kBeat * 0.5, len, ch.root - 12 + offs[e], 0.30);
            }
        }
        if (last)
            bassNote(m, t0, kBar * 1.2, ch.root - 12, 0.32);

        // Drums.
        if (bar >= 2 && !last) {
            for (int s = 0; s < 16; s += 2) {
                bool open = s == 14 && bar % 2 == 1;
                hat(m, t0 + s * kStep, (s % 4 == 2 ? 0.22 : 0.14) * (bar < 4 ? 0.8 : 1.0), open, 0.25);
            }
            if (bar >= 12)
                for (int s = 1; s < 16; s += 4)
                    hat(m, t0 + s * kStep + kStep * 2, 0.08, false, -0.3);
        }
        if (drums) {
            bool fill = bar % 4 == 3;
            if (bar == 3) {
                for (int b = 0; b < 4; ++b)
                    kick(m, t0 + b * kBeat, 0.55);
                for (int s = 8; s < 16; ++s)
                    snare(m, t0 + s * kStep, 0.15 + 0.03 * (s - 8));
            } else {
                kick(m, t0, 0.8);
                kick(m, t0 + 8 * kStep, 0.75);
                if (bar >= 12 || bar % 2 == 1)
                    kick(m, t0 + 10 * kStep, 0.6);
                snare(m, t0 + 4 * kStep, 0.42);
                snare(m, t0 + 12 * kStep, 0.42);
                if (fill) {
                    snare(m, t0 + 14 * kStep, 0.28);
                    snare(m, t0 + 15 * kStep, 0.34);
                }
            }
        }
        if (bar == 4 || bar == 12)
            crash(m, t0, 0.22);
        if (last) {
            kick(m, t0, 0.8);
            crash(m, t0, 0.26);
        }

        // Lead.
        if (bar >= 4 && bar < 12)
            playLine(themeA[bar - 4], t0, 0.24);
        if (bar >= 12 && bar < 20)
            playLine(themeB[bar - 12], t0, 0.22);
        if (last)
            leadNote(m, t0, kBar * 1.1, 81, 0.22);
    }

    Stereo out = m.dry;
    pingPong(m.delaySend, out);
    reverb(m.reverbSend, out);

    // Remove DC, fade the tail, normalise to -1 dBFS.
    double dcL = 0.0, dcR = 0.0, peak = 0.0;
    for (size_t i = 0; i < n; ++i) {
        dcL += 0.0005 * (out.l[i] - dcL);
        dcR += 0.0005 * (out.r[i] - dcR);
        out.l[i] -= static_cast<float>(dcL);
        out.r[i] -= static_cast<float>(dcR);
        double t = static_cast<double>(i) / kRate;
        double fade = clamp01((kBars * kBar + tail - t) / 1.5);
        out.l[i] *= static_cast<float>(fade);
        out.r[i] *= static_cast<float>(fade);
        peak = std::max(peak, static_cast<double>(std::fabs(out.l[i])));
        peak = std::max(peak, static_cast<double>(std::fabs(out.r[i])));
    }
    double scale = std::pow(10.0, -1.0 / 20.0) / peak;
    for (size_t i = 0; i < n; ++i) {
        out.l[i] *= static_cast<float>(scale);
        out.r[i] *= static_cast<float>(scale);
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    bool ok = true;
    ok &= writePpm(dir + "/alumin1.ppm", makeBrushedPlates());
    ok &= writePpm(dir + "/alumin2.ppm", makeWarmPlasma());
    ok &= writePpm(dir + "/alumin3.ppm", makeCaustics());
    ok &= writePpm(dir + "/alumin4.ppm", makeMosaic());
    ok &= writePam(dir + "/tumblewisp2.pam", makeTumblewisp(176, 176));
    ok &= writeWav(dir + "/hollowmere2.wav", makeSong());
    if (!ok) {
        std::fprintf(stderr, "media_gen: could not write into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
