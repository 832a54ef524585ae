// DirectDraw over SDL surfaces: RGB565 surfaces, keyed and stretched blits
// without a clipper, colour fills, text, the primary surface and its flip.
#include "platform/directx.h"

#include <SDL_ttf.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fontconfig/fontconfig.h>
#include <map>
#include <tuple>
#include <unordered_map>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "platform/media_checks.h"
#include "platform/platform_calls.h"
#include "platform/program_files.h"
#include "platform/runtime.h"
#include "platform/windows1252.h"
#include "platform/sdl_internal.h"
#include "platform/start_values.h"

namespace pomlets {

namespace {

// A colour &HBBGGRR as the game writes it, in the 16-bit display format.
uint16_t to565(int32_t bgr) {
    const uint32_t c = static_cast<uint32_t>(bgr);
    const uint32_t r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
    return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

SDL_Color toSdlColor(int32_t bgr) {
    const uint32_t c = static_cast<uint32_t>(bgr);
    return SDL_Color{static_cast<Uint8>(c & 0xFF), static_cast<Uint8>((c >> 8) & 0xFF),
                     static_cast<Uint8>((c >> 16) & 0xFF), 255};
}

inline uint16_t* row(SDL_Surface* s, int y) {
    return reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(s->pixels) + static_cast<ptrdiff_t>(y) * s->pitch);
}

// One row of a keyed copy: pixels whose value lies in the key range leave
// the destination as it is.
void keyedRow(uint16_t* __restrict out, const uint16_t* __restrict in, int n, uint16_t keyLow, uint16_t keyRange) {
    int x = 0;
#ifdef __SSE2__
    const __m128i low = _mm_set1_epi16(static_cast<short>(keyLow));
    const __m128i range = _mm_set1_epi16(static_cast<short>(keyRange));
    const __m128i zero = _mm_setzero_si128();
    for (; x + 8 <= n; x += 8) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + x));
        // (p - low) <= range, unsigned: the saturated difference is zero.
        const __m128i isKey = _mm_cmpeq_epi16(_mm_subs_epu16(_mm_sub_epi16(p, low), range), zero);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                         _mm_or_si128(_mm_and_si128(isKey, d), _mm_andnot_si128(isKey, p)));
    }
#endif
    for (; x < n; ++x) {
        const uint16_t p = in[x];
        if (static_cast<uint16_t>(p - keyLow) > keyRange) out[x] = p;
    }
}

void stretchedRow(uint16_t* __restrict out, const uint16_t* __restrict in, const int* xmap, int n, bool keyed,
                  uint16_t keyLow, uint16_t keyRange) {
    if (!keyed) {
        for (int x = 0; x < n; ++x) out[x] = in[xmap[x]];
        return;
    }
    for (int x = 0; x < n; ++x) {
        const uint16_t p = in[xmap[x]];
        if (static_cast<uint16_t>(p - keyLow) > keyRange) out[x] = p;
    }
}

bool isZero(const RECT& r) { return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0; }

// Wholly on the surface and not empty.
bool liesOn(const RECT& r, const SDL_Surface* s) {
    return r.left >= 0 && r.top >= 0 && r.right <= s->w && r.bottom <= s->h && r.left < r.right && r.top < r.bottom;
}

// Windows-1252 text to UTF-8 for the font renderer.
std::string cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (unsigned char c : text) {
        uint32_t u = windows1252Char(c);
        if (u == 0) u = ' ';  // the renderer stops at a zero byte
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

// Fonts by name through fontconfig, opened once, at 96 dots per inch
// (12 points = 16 pixels), and rendered lines kept for the next frames.
class FontCache {
public:
    // Rendered lines first: they were drawn with the fonts.
    void close() {
        rendered_.clear();
        fonts_.clear();
    }

    TTF_Font* fontFor(const StdFont& f) {
        if (!TTF_WasInit() && TTF_Init() != 0)
            throw RuntimeError(err::InvalidCall, std::string("cannot start the font renderer: ") + TTF_GetError());
        const int pixels = std::max(1, static_cast<int>(std::lround(f.size * 96.0 / 72.0)));
        const auto key = std::make_tuple(f.name, pixels, f.bold, f.italic);
        if (auto it = fonts_.find(key); it != fonts_.end()) return it->second.get();
        const auto [file, index] = locate(f);
        SdlPtr<TTF_Font> font(file.empty() ? nullptr : TTF_OpenFontIndex(file.c_str(), pixels, index));
        if (!font) throw RuntimeError(err::InvalidCall, "cannot open the font \"" + f.name + "\"");
        return (fonts_[key] = std::move(font)).get();
    }

    // The text rendered white-on-transparent in the colour; owned by the cache.
    SDL_Surface* rendered(TTF_Font* font, int32_t color, const std::string& text) {
        RenderKey key{font, color, text};
        if (auto it = rendered_.find(key); it != rendered_.end()) return it->second.get();
        if (rendered_.size() >= 512) rendered_.clear();
        const std::string utf8 = cp1252ToUtf8(text);
        SdlPtr<SDL_Surface> s(TTF_RenderUTF8_Blended(font, utf8.c_str(), toSdlColor(color)));
        if (!s) throw RuntimeError(err::InvalidCall, std::string("cannot draw text: ") + TTF_GetError());
        SDL_SetSurfaceBlendMode(s.get(), SDL_BLENDMODE_BLEND);
        return rendered_.emplace(std::move(key), std::move(s)).first->second.get();
    }

private:
    struct RenderKey {
        TTF_Font* font;
        int32_t color;
        std::string text;
        bool operator==(const RenderKey&) const = default;
    };
    struct RenderKeyHash {
        size_t operator()(const RenderKey& k) const {
            return std::hash<std::string>()(k.text) ^ (std::hash<const void*>()(k.font) * 31) ^
                   static_cast<size_t>(k.color);
        }
    };

    static std::pair<std::string, int> locate(const StdFont& f) {
        if (!FcInit()) return {};
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(f.name.c_str()));
        FcPatternAddInteger(pattern, FC_WEIGHT, f.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, f.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        std::pair<std::string, int> found;
        if (match) {
            FcChar8* file = nullptr;
            int index = 0;
            if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
                FcPatternGetInteger(match, FC_INDEX, 0, &index);
                found = {reinterpret_cast<const char*>(file), index};
            }
            FcPatternDestroy(match);
        }
        FcPatternDestroy(pattern);
        return found;
    }

    // Declared before the lines rendered with them, so destroyed after them.
    std::map<std::tuple<std::string, int, bool, bool>, SdlPtr<TTF_Font>> fonts_;
    std::unordered_map<RenderKey, SdlPtr<SDL_Surface>, RenderKeyHash> rendered_;
};

FontCache& fontCache() {
    static FontCache cache;
    POMLETS_LOCAL_NOT_RESTORED(cache, "fonts, opened once for the run and closed at its end");
    return cache;
}

} // namespace

namespace sdl {

SdlPtr<SDL_Surface> newSurface565(int width, int height) {
    if (width <= 0 || height <= 0) throw RuntimeError(err::InvalidCall, "a surface needs a size");
    SdlPtr<SDL_Surface> s(SDL_CreateRGBSurfaceWithFormat(0, width, height, 16, SDL_PIXELFORMAT_RGB565));
    if (!s) throw RuntimeError(err::InvalidCall, std::string("cannot make a surface: ") + SDL_GetError());
    return s;
}

void closeFonts() { fontCache().close(); }

} // namespace sdl

// --- surfaces -----------------------------------------------------------------

namespace {

// What a tile holds, as a number: two tiles at the same place of surfaces of
// one size that have the same number hold the same pixels. A number is new
// (no other tile holds it), taken over with the pixels of a tile copied
// whole, or made from the drawing that wrote the tile, with the number the
// tile held before when the drawing's pixels depend on what lay under them.
uint64_t mixed(uint64_t a, uint64_t b) {
    uint64_t z = a * 0x9E3779B97F4A7C15ull + b + 0x632BE59BD9B4E019ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

uint64_t freshContent() {
    static uint64_t made = 0;
    POMLETS_LOCAL_NOT_RESTORED(made, "numbers tell the contents of the whole run apart");
    return mixed(++made, 0xF7E5);
}

uint64_t mixedRect(uint64_t a, const RECT& r) {
    return mixed(mixed(a, (uint64_t{static_cast<uint32_t>(r.left)} << 32) | static_cast<uint32_t>(r.top)),
                 (uint64_t{static_cast<uint32_t>(r.right)} << 32) | static_cast<uint32_t>(r.bottom));
}

// The kinds of drawing, so that no two of them make the same number.
enum DrawingKind : uint64_t { FillKind = 1, BlitKind, TextKind, SettledTextKind };

// The base under an opaque drawing that covers a tile whole: what lay
// there before does not count.
constexpr uint64_t coveredBase = 0xC0FE;

inline const uint16_t* row(const SDL_Surface* s, int y) {
    return reinterpret_cast<const uint16_t*>(static_cast<const uint8_t*>(s->pixels) +
                                             static_cast<ptrdiff_t>(y) * s->pitch);
}


// The part inside the clip (which lies in dr) of a blit of `from` of s into
// dr of out, stretched to the nearest source pixel of each pixel's centre.
void blitPart(SDL_Surface* out, const RECT& dr, const SDL_Surface* s, const RECT& from, bool keyed, uint16_t keyLow,
              uint16_t keyRange, const SDL_Rect& clip) {
    const int dw = dr.right - dr.left, dh = dr.bottom - dr.top;
    const int sw = from.right - from.left, sh = from.bottom - from.top;
    const int x0 = clip.x - dr.left, y0 = clip.y - dr.top;
    if (dw == sw && dh == sh) {
        for (int y = y0; y < y0 + clip.h; ++y) {
            uint16_t* to = row(out, dr.top + y) + clip.x;
            const uint16_t* in = row(s, from.top + y) + from.left + x0;
            if (keyed) keyedRow(to, in, clip.w, keyLow, keyRange);
            else std::memcpy(to, in, static_cast<size_t>(clip.w) * 2);
        }
        return;
    }
    static thread_local std::vector<int> xmap;
    xmap.resize(static_cast<size_t>(clip.w));
    for (int x = 0; x < clip.w; ++x)
        xmap[static_cast<size_t>(x)] =
            from.left + static_cast<int>((int64_t{2} * (x0 + x) + 1) * sw / (int64_t{2} * dw));
    int previousSy = -1;
    for (int y = y0; y < y0 + clip.h; ++y) {
        const int sy = from.top + static_cast<int>((int64_t{2} * y + 1) * sh / (int64_t{2} * dh));
        uint16_t* to = row(out, dr.top + y) + clip.x;
        if (!keyed && sy == previousSy) {
            // The same source row again: copy the row just drawn.
            std::memcpy(to, row(out, dr.top + y - 1) + clip.x, static_cast<size_t>(clip.w) * 2);
            continue;
        }
        previousSy = sy;
        stretchedRow(to, row(s, sy), xmap.data(), clip.w, keyed, keyLow, keyRange);
    }
}

} // namespace

struct DirectDrawSurface7::Impl {
    int32_t caps = DDSCAPS_OFFSCREENPLAIN;
    bool hasKey = false;
    uint16_t keyLow = 0, keyHigh = 0;
    StdFont font;
    bool fontTransparent = true;
    int32_t foreColor = 0;
    // The primary surface: its back buffer and the window it is shown in.
    SurfaceRef backBuffer;
    GameWindow* window = nullptr;
    // Every surface has its own number, and a count of its writes: a drawing
    // from it is told apart by both.
    uint64_t number = 0;
    uint64_t writes = 0;

    // What a write puts into its area, which decides the numbers of the
    // tiles it touches.
    struct Drawing {
        enum class Kind {
            Over,    // pixels that depend on what lay under them, or may
            Opaque,  // pixels that do not
            CopyOf,  // the pixels of the same place of `from`, a surface of this size
        };
        Kind kind;
        uint64_t op = 0;  // the drawing, with everything that decides its pixels
        const Impl* from = nullptr;
    };

    // A drawing put off: what it puts into its area, done on the tiles that
    // still need it when the pixels are read.
    struct Deferred {
        enum class Kind { Fill, Blit, Copy };
        Kind kind = Kind::Fill;
        SDL_Rect area{};
        uint16_t colour = 0;
        // Blit and Copy: the surface read, kept as it stands until this is
        // done (it is done before that surface changes).
        SurfaceRef source;
        const Impl* from = nullptr;
        RECT dr{}, sr{};
        bool keyed = false;
        uint16_t keyLow = 0, keyRange = 0;
    };

    ~Impl() { forgetSources(); }

    // The surface's pixels; a new surface holds a number of its own in every tile.
    void adopt(SdlPtr<SDL_Surface> pixels) {
        static uint64_t surfacesMade = 0;
        POMLETS_LOCAL_NOT_RESTORED(surfacesMade, "numbers tell the surfaces of the whole run apart");
        number = ++surfacesMade;
        surface_ = std::move(pixels);
        rowColour_.assign(static_cast<size_t>(surface_->h), -1);
        columns_ = (surface_->w + Tiles::width - 1) / Tiles::width;
        bands_ = (surface_->h + Tiles::height - 1) / Tiles::height;
        content_.resize(static_cast<size_t>(columns_) * static_cast<size_t>(bands_));
        for (uint64_t& tile : content_) tile = freshContent();
        held_ = content_;
        from_.assign(content_.size(), 0);
        presentedContent_.assign(content_.size(), 0);
    }

    // The surface's size and format, pixels not to be read.
    const SDL_Surface* shape() const { return surface_.get(); }
    // The pixels as drawn: every drawing put off is done first.
    const SDL_Surface* pixels() const {
        const_cast<Impl*>(this)->resolveAll();
        return surface_.get();
    }
    // The pixels of the area as drawn; elsewhere drawings may still be put off.
    const SDL_Surface* pixelsIn(const SDL_Rect& area) {
        resolveArea(area);
        return surface_.get();
    }
    int64_t pixelsWritten() const { return written_; }

    // The one way to the pixels for writing: the area (clipped to the
    // surface) gets what the drawing puts there, and every tile it touches
    // gets its new number. Returns the surface, to be written inside the
    // area only, or null when the drawing leaves every tile it touches with
    // the pixels it holds already: then nothing is to be written. A drawing
    // of which only a part is written, since the rest already holds what it
    // puts there, names its whole rectangle.
    SDL_Surface* write(const SDL_Rect& requested, const Drawing& drawing, const SDL_Rect* whole = nullptr) {
        SDL_Rect area;
        if (!touch(requested, drawing, whole, area)) return surface_.get();
        if (leftAsHeld(area)) return nullptr;
        // Drawn now, over the pixels as they stand.
        resolveArea(area);
        forEachTile(area, [&](size_t at) {
            content_[at] = next_[at];
            held_[at] = next_[at];
            from_[at] = static_cast<uint32_t>(log_.size());
        });
        written_ += int64_t{area.w} * area.h;
        return surface_.get();
    }

    // Whether the drawing, about to be written, would leave every tile it
    // touches with the pixels it holds already; if so it is taken as done.
    bool skipsAsHeld(const SDL_Rect& requested, const Drawing& drawing) {
        SDL_Rect area;
        if (!clipped(requested, area)) return true;
        // Readers done first: they may have this surface's pixels done too.
        resolveReaders();
        computeNext(area, drawing, nullptr);
        bool held = true;
        forEachTile(area, [&](size_t at) { held = held && next_[at] == held_[at]; });
        if (!held) return false;
        touch(requested, drawing, nullptr, area);
        return leftAsHeld(area);
    }

    // A write put off: the tiles get their numbers now, the pixels when they
    // are read, and only where the drawings since leave them other than they
    // are. A background restored and a piece drawn again over it as before
    // write nothing.
    void defer(const SDL_Rect& requested, const Drawing& drawing, Deferred entry, const SDL_Rect* whole = nullptr) {
        SDL_Rect area;
        if (!touch(requested, drawing, whole, area)) return;
        if (log_.size() >= mostDeferred) resolveAll();
        const uint32_t index = static_cast<uint32_t>(log_.size());
        const bool independent = drawing.kind != Drawing::Kind::Over;
        const SDL_Rect& cover = whole ? *whole : area;
        bool needed = false;
        forEachTile(area, [&](size_t at) {
            content_[at] = next_[at];
            if (content_[at] == held_[at]) {
                from_[at] = index + 1;
                return;
            }
            if (independent && covers(cover, at)) from_[at] = index;
            needed = true;
        });
        if (!needed) {
            // Kept by no tile: the next drawing put off takes its place.
            forEachTile(area, [&](size_t at) { from_[at] = index; });
            return;
        }
        entry.area = area;
        if (entry.from && entry.from != this) {
            auto& readers = const_cast<Impl*>(entry.from)->readers_;
            if (std::find(readers.begin(), readers.end(), this) == readers.end()) readers.push_back(this);
        }
        log_.push_back(std::move(entry));
    }

    // Copies the picture, of this surface's size, over the whole surface:
    // only the tiles that do not hold the same already.
    void copyWhole(const SurfaceRef& source) {
        const Impl& picture = *source->impl();
        for (int band = 0; band < bands_; ++band) {
            const int top = band * Tiles::height, bottom = std::min(top + Tiles::height, surface_->h);
            for (int c = 0; c < columns_;) {
                const auto differs = [&](int column) {
                    const size_t at = static_cast<size_t>(band * columns_ + column);
                    return content_[at] != picture.content_[at];
                };
                if (!differs(c)) {
                    ++c;
                    continue;
                }
                const int first = c;
                while (c < columns_ && differs(c)) ++c;
                const int left = first * Tiles::width, right = std::min(c * Tiles::width, surface_->w);
                Deferred copy{};
                copy.kind = Deferred::Kind::Copy;
                copy.source = source;
                copy.from = &picture;
                defer(SDL_Rect{left, top, right - left, bottom - top}, {Drawing::Kind::CopyOf, 0, &picture},
                      std::move(copy));
            }
        }
#ifdef POMLETS_CHECK_WRITES
        checkWholeCopy(picture);
#endif
    }

    // Every drawing put off is done now, on the tiles that need it.
    void resolveAll() {
        if (log_.empty()) return;
        resolveTiles(0, columns_, 0, bands_);
        forgetSources();
        log_.clear();
        std::fill(from_.begin(), from_.end(), 0);
    }

    // Per row, the colour that the whole row is known to hold, or -1: a fill
    // of such a row with its own colour changes nothing and is left out, so a
    // screen drawn again the same way (the pause screen) costs next to nothing.
    int32_t rowColour(int y) const { return rowColour_[static_cast<size_t>(y)]; }
    void rowsHold(int top, int bottom, int32_t colour) {
        std::fill(rowColour_.begin() + top, rowColour_.begin() + bottom, colour);
    }

    // The tiles whose pixels may differ from those last presented: a tile
    // whose number is the one it had then holds the same pixels.
    void changedSincePresent(Tiles& changed) const {
        changed.reset(surface_->w, surface_->h, false);
        for (int band = 0; band < bands_; ++band)
            for (int column = 0; column < columns_; ++column) {
                const size_t at = static_cast<size_t>(band * columns_ + column);
                if (content_[at] != presentedContent_[at]) changed.mark(column, band);
            }
#ifdef POMLETS_CHECK_WRITES
        // Every tile taken as unchanged is compared with what was presented.
        if (presentedPixels_.empty()) return;
        for (int band = 0; band < bands_; ++band)
            for (int column = 0; column < columns_; ++column) {
                if (changed.marked(column, band)) continue;
                const int left = column * Tiles::width, n = std::min(Tiles::width, surface_->w - left);
                for (int y = band * Tiles::height; y < std::min((band + 1) * Tiles::height, surface_->h); ++y)
                    if (std::memcmp(row(surface_.get(), y) + left,
                                    presentedPixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(surface_->w) +
                                        static_cast<size_t>(left),
                                    static_cast<size_t>(n) * 2) != 0)
                        writeCheckFailed("a tile changed unmarked since the last present", column, band);
            }
#endif
    }
    // The surface was just presented as it stands.
    void presented() {
        presentedContent_ = content_;
#ifdef POMLETS_CHECK_WRITES
        presentedPixels_.resize(static_cast<size_t>(surface_->w) * static_cast<size_t>(surface_->h));
        for (int y = 0; y < surface_->h; ++y)
            std::memcpy(presentedPixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(surface_->w),
                        row(surface_.get(), y), static_cast<size_t>(surface_->w) * 2);
#endif
    }

    // Tests of the check: the pixels, with no tile told.
    SDL_Surface* pixelsUntold() {
        resolveAll();
        return surface_.get();
    }

private:
    // So many drawings put off without a read are done, to keep the record short.
    static constexpr size_t mostDeferred = 4096;

    bool clipped(const SDL_Rect& requested, SDL_Rect& area) const {
        const SDL_Rect all{0, 0, surface_->w, surface_->h};
        return SDL_IntersectRect(&requested, &all, &area);
    }

    template <typename Each>
    void forEachTile(const SDL_Rect& area, Each each) const {
        const int right = area.x + area.w, bottom = area.y + area.h;
        for (int band = area.y / Tiles::height; band <= (bottom - 1) / Tiles::height; ++band)
            for (int column = area.x / Tiles::width; column <= (right - 1) / Tiles::width; ++column)
                each(static_cast<size_t>(band * columns_ + column));
    }

    // Whether the rectangle covers the tile whole.
    bool covers(const SDL_Rect& cover, size_t at) const {
        const int band = static_cast<int>(at) / columns_, column = static_cast<int>(at) % columns_;
        const int top = band * Tiles::height, left = column * Tiles::width;
        return cover.y <= top && cover.y + cover.h >= std::min(top + Tiles::height, surface_->h) && cover.x <= left &&
               cover.x + cover.w >= std::min(left + Tiles::width, surface_->w);
    }

    // The numbers the tiles of the area get from the drawing.
    void computeNext(const SDL_Rect& area, const Drawing& drawing, const SDL_Rect* whole) {
        next_.resize(content_.size());
        const SDL_Rect& cover = whole ? *whole : area;
        forEachTile(area, [&](size_t at) {
            const uint64_t tile = content_[at];
            switch (drawing.kind) {
            case Drawing::Kind::Over: next_[at] = mixed(tile, drawing.op); break;
            case Drawing::Kind::Opaque: next_[at] = mixed(covers(cover, at) ? coveredBase : tile, drawing.op); break;
            case Drawing::Kind::CopyOf:
                next_[at] = covers(cover, at) ? drawing.from->content_[at] : freshContent();
                break;
            }
        });
    }

    // What every write does first: the surfaces whose drawings put off read
    // this one get their pixels while it stands; then the write is counted
    // and the new numbers are made. False for an area off the surface.
    bool touch(const SDL_Rect& requested, const Drawing& drawing, const SDL_Rect* whole, SDL_Rect& area) {
        if (!clipped(requested, area)) return false;
        resolveReaders();
        ++writes;
        std::fill(rowColour_.begin() + area.y, rowColour_.begin() + area.y + area.h, -1);
        computeNext(area, drawing, whole);
        return true;
    }

    void resolveReaders() {
        if (readers_.empty()) return;
        const std::vector<Impl*> readers = std::move(readers_);
        readers_.clear();
        for (Impl* reader : readers) reader->resolveAll();
    }

    // Takes the new numbers when every tile of the area holds them already.
    bool leftAsHeld(const SDL_Rect& area) {
        bool held = true;
        forEachTile(area, [&](size_t at) { held = held && next_[at] == held_[at]; });
        if (!held) return false;
        forEachTile(area, [&](size_t at) {
            content_[at] = next_[at];
            from_[at] = static_cast<uint32_t>(log_.size());
        });
        return true;
    }

    void resolveArea(const SDL_Rect& requested) {
        SDL_Rect area;
        if (log_.empty() || !clipped(requested, area)) return;
        resolveTiles(area.x / Tiles::width, (area.x + area.w - 1) / Tiles::width + 1, area.y / Tiles::height,
                     (area.y + area.h - 1) / Tiles::height + 1);
    }

    // Does the drawings put off on the tiles of the range whose pixels are
    // not what they are to hold, each drawing on the tiles that need it, in
    // their order; a tile needs those from the last that covered it whole.
    void resolveTiles(int firstColumn, int endColumn, int firstBand, int endBand) {
        const auto needs = [&](int column, int band) {
            const size_t at = static_cast<size_t>(band * columns_ + column);
            return content_[at] != held_[at];
        };
        bool any = false;
        for (int band = firstBand; band < endBand && !any; ++band)
            for (int column = firstColumn; column < endColumn && !any; ++column) any = needs(column, band);
        if (!any) return;
        SDL_Surface* out = surface_.get();
        for (size_t i = 0; i < log_.size(); ++i) {
            const Deferred& entry = log_[i];
            const SDL_Rect& a = entry.area;
            const int c0 = std::max(firstColumn, a.x / Tiles::width);
            const int c1 = std::min(endColumn, (a.x + a.w - 1) / Tiles::width + 1);
            const int b0 = std::max(firstBand, a.y / Tiles::height);
            const int b1 = std::min(endBand, (a.y + a.h - 1) / Tiles::height + 1);
            const auto wanted = [&](int column, int band) {
                return needs(column, band) && from_[static_cast<size_t>(band * columns_ + column)] <= i;
            };
            for (int band = b0; band < b1; ++band)
                for (int c = c0; c < c1;) {
                    if (!wanted(c, band)) {
                        ++c;
                        continue;
                    }
                    const int first = c;
                    while (c < c1 && wanted(c, band)) ++c;
                    const SDL_Rect run{first * Tiles::width, band * Tiles::height, (c - first) * Tiles::width,
                                       Tiles::height};
                    SDL_Rect clip;
                    if (SDL_IntersectRect(&run, &a, &clip)) drawPart(entry, out, clip);
                }
        }
        for (int band = firstBand; band < endBand; ++band)
            for (int column = firstColumn; column < endColumn; ++column) {
                const size_t at = static_cast<size_t>(band * columns_ + column);
                held_[at] = content_[at];
                from_[at] = static_cast<uint32_t>(log_.size());
            }
    }

    // A drawing put off, done inside the clip (a part of its area).
    void drawPart(const Deferred& entry, SDL_Surface* out, const SDL_Rect& clip) {
        written_ += int64_t{clip.w} * clip.h;
        switch (entry.kind) {
        case Deferred::Kind::Fill: {
            SDL_Rect part = clip;
            SDL_FillRect(out, &part, entry.colour);
            break;
        }
        case Deferred::Kind::Copy: {
            const SDL_Surface* s = entry.source->impl()->pixels();
            for (int y = clip.y; y < clip.y + clip.h; ++y)
                std::memcpy(mutableRow(out, y) + clip.x, row(s, y) + clip.x, static_cast<size_t>(clip.w) * 2);
            break;
        }
        case Deferred::Kind::Blit:
            blitPart(out, entry.dr, entry.source->impl()->pixels(), entry.sr, entry.keyed, entry.keyLow,
                     entry.keyRange, clip);
            break;
        }
    }

    // Leaves the surfaces read by the drawings put off.
    void forgetSources() {
        for (const Deferred& entry : log_) {
            if (!entry.from) continue;
            auto& readers = const_cast<Impl*>(entry.from)->readers_;
            readers.erase(std::remove(readers.begin(), readers.end(), this), readers.end());
        }
    }

    static uint16_t* mutableRow(SDL_Surface* s, int y) {
        return reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(s->pixels) + static_cast<ptrdiff_t>(y) * s->pitch);
    }
#ifdef POMLETS_CHECK_WRITES
    // The pixels the surface is to hold after a whole copy, the drawings put
    // off done on a copy of them, are the picture's; the surface itself is
    // left as it stands, its drawings still put off.
    void checkWholeCopy(const Impl& picture) {
        const SDL_Surface* s = picture.pixels();
        SdlPtr<SDL_Surface> done = sdl::newSurface565(surface_->w, surface_->h);
        for (int y = 0; y < surface_->h; ++y)
            std::memcpy(mutableRow(done.get(), y), row(surface_.get(), y), static_cast<size_t>(surface_->w) * 2);
        const std::vector<uint64_t> held = held_;
        const std::vector<uint32_t> from = from_;
        const int64_t written = written_;
        std::swap(surface_, done);
        resolveTiles(0, columns_, 0, bands_);
        std::swap(surface_, done);
        held_ = held;
        from_ = from;
        written_ = written;
        for (int y = 0; y < surface_->h; ++y)
            if (std::memcmp(row(done.get(), y), row(s, y), static_cast<size_t>(surface_->w) * 2) != 0)
                writeCheckFailed("a whole copy left a tile that was written unmarked", 0, y / Tiles::height);
    }
    [[noreturn]] static void writeCheckFailed(const char* what, int column, int band) {
        std::fprintf(stderr, "pixel write check: %s (tile column %d, band %d)\n", what, column, band);
        std::abort();
    }
    std::vector<uint16_t> presentedPixels_;
#endif

    SdlPtr<SDL_Surface> surface_;
    int columns_ = 0, bands_ = 0;
    // Per tile: the number of what it is to hold, of what its pixels hold
    // (the same but where drawings are put off), and the first drawing put
    // off that it needs.
    std::vector<uint64_t> content_, held_, presentedContent_;
    std::vector<uint32_t> from_;
    std::vector<uint64_t> next_;
    std::vector<Deferred> log_;
    // The surfaces whose drawings put off read this one.
    std::vector<Impl*> readers_;
    int64_t written_ = 0;
    std::vector<int32_t> rowColour_;
};

namespace {

SDL_Rect sdlRect(const RECT& r) { return SDL_Rect{r.left, r.top, r.right - r.left, r.bottom - r.top}; }

} // namespace

namespace sdl {

SDL_Surface* pixelsUntold(DirectDrawSurface7& surface) { return surface.impl()->pixelsUntold(); }

int64_t pixelsWritten(const DirectDrawSurface7& surface) { return surface.impl()->pixelsWritten(); }

} // namespace sdl

DirectDrawSurface7::DirectDrawSurface7(int width, int height) : impl_(std::make_unique<Impl>()) {
    impl_->adopt(sdl::newSurface565(width, height));
}

DirectDrawSurface7::DirectDrawSurface7(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

DirectDrawSurface7::~DirectDrawSurface7() { platformCalls().surfaceGone(*this); }

int DirectDrawSurface7::width() const { return impl_->shape()->w; }
int DirectDrawSurface7::height() const { return impl_->shape()->h; }
uint64_t DirectDrawSurface7::writeCount() const { return impl_->writes; }

SurfaceRef DirectDrawSurface7::GetAttachedSurface(const DDSCAPS2& caps) {
    if (impl_->backBuffer && (caps.caps & DDSCAPS_BACKBUFFER)) return impl_->backBuffer;
    throw RuntimeError(err::InvalidCall, "the surface has no such attached surface");
}

void DirectDrawSurface7::GetSurfaceDesc(DDSURFACEDESC2& desc) const {
    desc.flags |= DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.width = width();
    desc.height = height();
    desc.caps.caps = impl_->caps;
    if (impl_->backBuffer) {
        desc.flags |= DDSD_BACKBUFFERCOUNT;
        desc.backBufferCount = 1;
    }
}

void DirectDrawSurface7::Flip(const SurfaceRef& /*target*/, int32_t /*flags*/) {
    if (!impl_->backBuffer) throw RuntimeError(err::InvalidCall, "only the primary surface flips");
    // The back buffer is shown as it is and keeps its contents: every frame is
    // drawn whole, so nothing needs swapping. Tiles that hold what they held
    // at the last present need no comparing.
    if (impl_->window && impl_->window->exists()) {
        Impl& back = *impl_->backBuffer->impl_;
        static thread_local Tiles changed;
        const SDL_Surface* frame = back.pixels();
        back.changedSincePresent(changed);
        // The present only reads the frame.
        sdl::present(*impl_->window, const_cast<SDL_Surface*>(frame), &changed);
        back.presented();
        platformCalls().flipped(*impl_->backBuffer);
    }
}

int32_t DirectDrawSurface7::Blt(const RECT& destRect, const SurfaceRef& src, const RECT& srcRect, int32_t flags) {
    if (!src) throw RuntimeError(err::ObjectNotSet);
    const SDL_Surface* d = impl_->shape();
    const SDL_Surface* s = src->impl_->shape();
    const RECT dr = isZero(destRect) ? RECT{0, 0, d->w, d->h} : destRect;
    const RECT sr = isZero(srcRect) ? RECT{0, 0, s->w, s->h} : srcRect;
    // No clipper: a rectangle off its surface draws nothing.
    if (!liesOn(dr, d) || !liesOn(sr, s)) return DDERR_NOTONSURFACE;

    const bool keyed = (flags & DDBLT_KEYSRC) && src->impl_->hasKey;
    const bool onItself = src.get() == this;
    const int dw = dr.right - dr.left, dh = dr.bottom - dr.top;
    // A picture of the same size copied over the whole surface.
    if (!onItself && !keyed && s->w == d->w && s->h == d->h && dw == d->w && dh == d->h && dr.left == 0 &&
        dr.top == 0 && sr.left == 0 && sr.top == 0 && sr.right == s->w && sr.bottom == s->h) {
        impl_->copyWhole(src);
        return 0;
    }

    const uint16_t keyLow = src->impl_->keyLow;
    const uint16_t keyRange = static_cast<uint16_t>(src->impl_->keyHigh - keyLow);

    // What a blit puts down is its source as it stands, the key, and the two
    // rectangles; a surface's own pixels elsewhere are not told apart, so a
    // blit onto itself makes new content.
    if (onItself) {
        // It reads from a copy of the source part, made before the write.
        s = impl_->pixels();
        SdlPtr<SDL_Surface> copy = sdl::newSurface565(sr.right - sr.left, sr.bottom - sr.top);
        for (int y = sr.top; y < sr.bottom; ++y)
            std::memcpy(row(copy.get(), y - sr.top), row(s, y) + sr.left, static_cast<size_t>(copy->w) * 2);
        const SDL_Rect area = sdlRect(dr);
        if (SDL_Surface* out = impl_->write(area, {Impl::Drawing::Kind::Over, freshContent()}))
            blitPart(out, dr, copy.get(), RECT{0, 0, copy->w, copy->h}, keyed, keyLow, keyRange, area);
        return 0;
    }
    uint64_t op = mixed(mixed(BlitKind, src->impl_->number), src->impl_->writes);
    if (keyed) op = mixed(op, (uint64_t{keyLow} << 16) | src->impl_->keyHigh);
    const Impl::Drawing drawing{keyed ? Impl::Drawing::Kind::Over : Impl::Drawing::Kind::Opaque,
                                mixedRect(mixedRect(op, sr), dr)};
    Impl::Deferred blit{};
    blit.kind = Impl::Deferred::Kind::Blit;
    blit.source = src;
    blit.from = src->impl_.get();
    blit.dr = dr;
    blit.sr = sr;
    blit.keyed = keyed;
    blit.keyLow = keyLow;
    blit.keyRange = keyRange;
    impl_->defer(sdlRect(dr), drawing, std::move(blit));
    return 0;
}

int32_t DirectDrawSurface7::BltColorFill(const RECT& rect, int32_t color) {
    const SDL_Surface* d = impl_->shape();
    RECT r = rect;
    if (r.right <= r.left || r.bottom <= r.top) r = RECT{0, 0, d->w, d->h};
    if (!liesOn(r, d)) return DDERR_NOTONSURFACE;
    const uint16_t colour = to565(color);
    const Impl::Drawing drawing{Impl::Drawing::Kind::Opaque, mixedRect(mixed(FillKind, colour), r)};
    Impl::Deferred fill{};
    fill.kind = Impl::Deferred::Kind::Fill;
    fill.colour = colour;
    if (r.left != 0 || r.right != d->w) {
        impl_->defer(sdlRect(r), drawing, fill);
        return 0;
    }
    // Whole rows: only those not known to hold the colour already, in runs.
    for (int y = r.top; y < r.bottom;) {
        if (impl_->rowColour(y) == colour) {
            ++y;
            continue;
        }
        const int top = y;
        while (y < r.bottom && impl_->rowColour(y) != colour) ++y;
        const SDL_Rect area{0, top, d->w, y - top};
        const SDL_Rect filled = sdlRect(r);
        impl_->defer(area, drawing, fill, &filled);
        impl_->rowsHold(top, y, colour);
    }
    return 0;
}

namespace {

// A text drawing with everything that decides its pixels.
uint64_t textOp(uint64_t kind, const StdFont& font, int32_t color, bool transparent, const std::string& text,
                int32_t x, int32_t y) {
    uint64_t op = mixed(mixed(kind, std::hash<std::string>()(text)), std::hash<std::string>()(font.name));
    op = mixed(op, (static_cast<uint64_t>(std::llround(font.size * 64)) << 3) | (font.bold ? 4u : 0u) |
                       (font.italic ? 2u : 0u) | (transparent ? 1u : 0u));
    op = mixed(op, static_cast<uint32_t>(color));
    return mixed(op, (uint64_t{static_cast<uint32_t>(x)} << 32) | static_cast<uint32_t>(y));
}

} // namespace

void DirectDrawSurface7::DrawText(int32_t x, int32_t y, const std::string& text, bool /*useCurrentPosition*/) {
    platformCalls().textDrawn(*this, x, y, text);
    TTF_Font* font = fontCache().fontFor(impl_->font);
    if (text.empty()) return;
    SDL_Surface* line = fontCache().rendered(font, impl_->foreColor, text);
    SDL_Rect at{x, y, line->w, line->h};
    SDL_Surface* out = impl_->write(
        at, {Impl::Drawing::Kind::Over,
             textOp(TextKind, impl_->font, impl_->foreColor, impl_->fontTransparent, text, x, y)});
    if (!out) return;  // drawn there already just so
    if (!impl_->fontTransparent) {
        // An opaque text cell has the device's default white background.
        SDL_Rect box = at;
        SDL_FillRect(out, &box, 0xFFFF);
    }
    SDL_BlitSurface(line, nullptr, out, &at);
}

namespace {

// The pixels of an area of a surface, row after row.
std::vector<uint16_t> pixelsOf(const SDL_Surface* s, const SDL_Rect& area) {
    std::vector<uint16_t> pixels(static_cast<size_t>(area.w) * static_cast<size_t>(area.h));
    for (int y = 0; y < area.h; ++y)
        std::memcpy(pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(area.w), row(s, area.y + y) + area.x,
                    static_cast<size_t>(area.w) * 2);
    return pixels;
}

bool holds(const SDL_Surface* s, const SDL_Rect& area, const std::vector<uint16_t>& pixels) {
    if (pixels.size() != static_cast<size_t>(area.w) * static_cast<size_t>(area.h)) return false;
    for (int y = 0; y < area.h; ++y)
        if (std::memcmp(row(s, area.y + y) + area.x,
                        pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(area.w),
                        static_cast<size_t>(area.w) * 2) != 0)
            return false;
    return true;
}

void putPixels(SDL_Surface* s, const SDL_Rect& area, const std::vector<uint16_t>& pixels) {
    for (int y = 0; y < area.h; ++y)
        std::memcpy(row(s, area.y + y) + area.x, pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(area.w),
                    static_cast<size_t>(area.w) * 2);
}

// The latest settled text: what its area held before and after. Settling is
// a pure function of those pixels, so the next frame, whose background under
// the text is the same, copies the result instead of blending it again.
struct SettledText {
    TTF_Font* font = nullptr;
    int32_t color = 0;
    std::string text;
    SDL_Rect area{};
    std::vector<uint16_t> before, after;

    bool isFor(TTF_Font* f, int32_t c, const std::string& t, const SDL_Rect& a) const {
        return font == f && color == c && text == t && area.x == a.x && area.y == a.y && area.w == a.w &&
               area.h == a.h;
    }
};

SettledText& lastSettled() {
    static SettledText settled;
    POMLETS_LOCAL_NOT_RESTORED(settled, "checked against the font, text, place and pixels it was made from");
    return settled;
}

} // namespace

void DirectDrawSurface7::DrawSettledText(int32_t x, int32_t y, const std::string& text) {
    if (!impl_->fontTransparent) {
        // On its own background box a text is the same however often it is drawn.
        DrawText(x, y, text, false);
        return;
    }
    platformCalls().textDrawn(*this, x, y, text);
    TTF_Font* font = fontCache().fontFor(impl_->font);
    if (text.empty()) return;
    SDL_Surface* line = fontCache().rendered(font, impl_->foreColor, text);
    const SDL_Surface* d = impl_->shape();
    const SDL_Rect at{x, y, line->w, line->h}, whole{0, 0, d->w, d->h};
    SDL_Rect area;
    if (!SDL_IntersectRect(&at, &whole, &area)) return;
    const Impl::Drawing drawing{Impl::Drawing::Kind::Over,
                                textOp(SettledTextKind, impl_->font, impl_->foreColor, true, text, x, y)};
    // Settled there before over what lies there now: nothing to write.
    if (impl_->skipsAsHeld(area, drawing)) return;
    d = impl_->pixelsIn(area);

    SettledText& settled = lastSettled();
    if (settled.isFor(font, impl_->foreColor, text, area)) {
        if (holds(d, area, settled.after)) return;  // already settled: drawing it again changes nothing
        if (holds(d, area, settled.before)) {
            if (SDL_Surface* out = impl_->write(area, drawing)) putPixels(out, area, settled.after);
            return;
        }
    }
    std::vector<uint16_t> pixels = pixelsOf(d, area);
    settled = SettledText{font, impl_->foreColor, text, area, pixels, {}};
    SDL_Surface* out = impl_->write(area, drawing);
    if (!out) return;
    // Each blend moves an edge pixel part of the way to the text's colour, in
    // whole steps of 16-bit colour; it stands still within a few dozen blends.
    constexpr int mostBlends = 256;
    for (int i = 0; i < mostBlends; ++i) {
        SDL_Rect target = at;
        SDL_BlitSurface(line, nullptr, out, &target);
        std::vector<uint16_t> blended = pixelsOf(out, area);
        const bool still = blended == pixels;
        pixels = std::move(blended);
        if (still) break;
    }
    settled.after = std::move(pixels);
}

void DirectDrawSurface7::SetColorKey(int32_t /*flags*/, const DDCOLORKEY& key) {
    impl_->hasKey = true;
    impl_->keyLow = to565(key.low);
    impl_->keyHigh = to565(key.high);
    if (impl_->keyHigh < impl_->keyLow) std::swap(impl_->keyLow, impl_->keyHigh);
}

void DirectDrawSurface7::SetFont(const StdFont& font) { impl_->font = font; }
void DirectDrawSurface7::SetFontTransparency(bool transparent) { impl_->fontTransparent = transparent; }
void DirectDrawSurface7::SetForeColor(int32_t color) { impl_->foreColor = color; }

uint16_t DirectDrawSurface7::pixel565(int x, int y) const {
    const SDL_Surface* s = impl_->pixels();
    if (x < 0 || y < 0 || x >= s->w || y >= s->h) throw RuntimeError(err::Subscript);
    return row(s, y)[x];
}

uint32_t DirectDrawSurface7::pixelRGB(int x, int y) const {
    const uint32_t p = pixel565(x, y);
    const uint32_t r5 = p >> 11, g6 = (p >> 5) & 0x3F, b5 = p & 0x1F;
    const uint32_t r = (r5 << 3) | (r5 >> 2), g = (g6 << 2) | (g6 >> 4), b = (b5 << 3) | (b5 >> 2);
    return (r << 16) | (g << 8) | b;
}

// --- DirectDraw ------------------------------------------------------------------

DirectDraw7::DirectDraw7() { sdl::requireVideo(); }

DirectDraw7::~DirectDraw7() {
    if (modeSet_) {
        try {
            RestoreDisplayMode();
        } catch (...) {
        }
    }
}

void DirectDraw7::SetCooperativeLevel(HWND window, int32_t flags) {
    if (!window && (flags & DDSCL_FULLSCREEN)) throw RuntimeError(err::InvalidCall, "no window for the display");
    window_ = window;
}

void DirectDraw7::SetDisplayMode(int32_t width, int32_t height, int32_t /*bpp*/, int32_t /*refresh*/,
                                 int32_t /*flags*/) {
    if (!window_) throw RuntimeError(err::InvalidCall, "the display is not held by a window");
    if (width <= 0 || height <= 0) throw RuntimeError(err::InvalidCall, "no such display mode");
    window_->create();
    SDL_Window* w = window_->impl()->window();
    // Cover the whole desktop first: a desktop without a window manager does
    // not resize a window that asks for the full screen.
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(w), &bounds) == 0) {
        SDL_SetWindowPosition(w, bounds.x, bounds.y);
        SDL_SetWindowSize(w, bounds.w, bounds.h);
    }
    if (SDL_SetWindowFullscreen(w, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
        throw RuntimeError(err::InvalidCall, std::string("cannot take the full screen: ") + SDL_GetError());
    if (bounds.w > 0) SDL_SetWindowPosition(w, bounds.x, bounds.y);
    modeWidth_ = width;
    modeHeight_ = height;
    modeSet_ = true;
    // A black screen until the first frame.
    sdl::present(*window_, sdl::newSurface565(width, height).get());
}

void DirectDraw7::RestoreDisplayMode() {
    if (window_ && window_->exists()) {
        // Off the screen first, then out of full screen: the other way round
        // the window would show in its frame for a moment.
        window_->hide();
        SDL_SetWindowFullscreen(window_->impl()->window(), 0);
    }
    modeSet_ = false;
}

SurfaceRef DirectDraw7::CreateSurface(const DDSURFACEDESC2& desc) {
    if (desc.caps.caps & DDSCAPS_PRIMARYSURFACE) {
        auto primary = std::make_shared<DirectDrawSurface7>(modeWidth_, modeHeight_);
        auto back = std::make_shared<DirectDrawSurface7>(modeWidth_, modeHeight_);
        primary->impl_->caps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        back->impl_->caps = DDSCAPS_BACKBUFFER | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        primary->impl_->backBuffer = back;
        primary->impl_->window = window_;
        return primary;
    }
    if (!(desc.flags & DDSD_WIDTH) || !(desc.flags & DDSD_HEIGHT) || desc.width <= 0 || desc.height <= 0)
        throw RuntimeError(err::InvalidCall, "an off-screen surface needs a size");
    return std::make_shared<DirectDrawSurface7>(desc.width, desc.height);
}

SurfaceRef DirectDraw7::CreateSurfaceFromFile(const std::string& path, DDSURFACEDESC2& desc) {
    const std::string file = readProgramFile(path, FileKind::Picture);
    checkPicture(path, file);
    const SdlPtr<SDL_Surface> loaded(SDL_LoadBMP_RW(SDL_RWFromConstMem(file.data(), static_cast<int>(file.size())), 1));
    if (!loaded) throw RuntimeError(err::InvalidProperty, RuntimeError::textOf(err::InvalidProperty) + ": " + path);
    SdlPtr<SDL_Surface> converted(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGB565, 0));
    if (!converted)
        throw RuntimeError(err::InvalidProperty, RuntimeError::textOf(err::InvalidProperty) + ": " + path);
    auto impl = std::make_unique<DirectDrawSurface7::Impl>();
    impl->adopt(std::move(converted));
    auto picture = std::make_shared<DirectDrawSurface7>(std::move(impl));
    const bool sized = (desc.flags & DDSD_WIDTH) && (desc.flags & DDSD_HEIGHT) && desc.width > 0 && desc.height > 0;
    if (sized && (desc.width != picture->width() || desc.height != picture->height())) {
        // A description with a size asks for the picture stretched to it.
        auto stretched = std::make_shared<DirectDrawSurface7>(desc.width, desc.height);
        stretched->Blt(RECT{}, picture, RECT{}, 0);
        picture = stretched;
    }
    desc.flags |= DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.width = picture->width();
    desc.height = picture->height();
    desc.caps.caps = DDSCAPS_OFFSCREENPLAIN;
    return picture;
}

int32_t DirectDraw7::TestCooperativeLevel() const {
    if (!window_) return 0;
    if (window_->isMinimised() || (window_->hadFocus() && !window_->hasFocus())) return DDERR_NOEXCLUSIVEMODE;
    return 0;
}

void DirectDraw7::RestoreAllSurfaces() {
    // Surfaces live in memory and are never lost; the window may have lost
    // what it showed, so the next frame goes to it whole.
    if (window_ && window_->impl()) window_->impl()->forgetShown();
}

// --- the root object --------------------------------------------------------------

std::shared_ptr<DirectDraw7> DirectX7::DirectDrawCreate(const std::string& /*device*/) {
    return std::make_shared<DirectDraw7>();
}

std::shared_ptr<DirectInput> DirectX7::DirectInputCreate() { return std::make_shared<DirectInput>(); }

std::shared_ptr<DirectSound> DirectX7::DirectSoundCreate(const std::string& /*device*/) {
    return std::make_shared<DirectSound>();
}

} // namespace pomlets
