// GDI objects a window owns (fonts, brushes): each is deleted once, when its owner goes or when
// another takes its place, so no destructor has to remember which of its handles it made.
//
//     FontHandle edit(::CreateFontW(...));        // deleted with `edit`
//     UiFont text(theme.font, 14, FW_NORMAL);     // the theme's font, or one made and owned
//     ::SelectObject(dc, text.get());
#pragma once
#include <windows.h>

#include <utility>

template <class H>
class GdiHandle {
  public:
    GdiHandle() = default;
    explicit GdiHandle(H h) : m_h(h) {}
    ~GdiHandle() { Reset(); }
    GdiHandle(const GdiHandle&) = delete;
    GdiHandle& operator=(const GdiHandle&) = delete;
    GdiHandle(GdiHandle&& other) noexcept : m_h(std::exchange(other.m_h, nullptr)) {}
    GdiHandle& operator=(GdiHandle&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.m_h, nullptr));
        return *this;
    }

    H get() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }
    // Deletes the object held (if any) and holds `h` instead.
    void Reset(H h = nullptr) {
        if (m_h && m_h != h) ::DeleteObject(m_h);
        m_h = h;
    }

  private:
    H m_h = nullptr;
};

using FontHandle = GdiHandle<HFONT>;
using BrushHandle = GdiHandle<HBRUSH>;

// The font a window draws its texts with: the theme's application font, which belongs to the
// program and is only borrowed, or, without one, "MS Shell Dlg" of the given height, made for
// this window and deleted with it.
class UiFont {
  public:
    UiFont() = default;
    UiFont(HFONT appFont, int height, int weight);
    // A font someone else owns, only drawn with here.
    static UiFont Shared(HFONT font) {
        UiFont f;
        f.m_shared = font;
        return f;
    }
    HFONT get() const { return m_shared ? m_shared : m_own.get(); }
    explicit operator bool() const { return get() != nullptr; }
    // Whether the font was made for this window (and is deleted with it).
    bool Owned() const { return static_cast<bool>(m_own); }

  private:
    HFONT m_shared = nullptr;
    FontHandle m_own;
};
