#pragma once

#include <QStringView>

#include <cstdint>

// One block of UTF-16 text that never moves while it grows: a range of address space is reserved
// once and committed as the text grows, so a view into it stays valid until the text is cut back
// or released. A word list keeps the text of all its entries here; an entry is then a few numbers,
// not two heap strings.
//
// Positions are 32-bit, so the arena holds at most 2^32 - 1 units (8 GiB); on a system that
// grants less address space it holds what was granted.
class TextArena
{
public:
    using Offset = uint32_t;

    TextArena() = default;
    ~TextArena();
    TextArena(const TextArena &) = delete;
    TextArena &operator=(const TextArena &) = delete;
    TextArena(TextArena &&other) noexcept;
    TextArena &operator=(TextArena &&other) noexcept;

    // Units in use.
    qsizetype size() const { return m_size; }
    const char16_t *data() const { return m_data; }
    char16_t *data() { return m_data; }

    QStringView view(Offset at, qsizetype length) const { return QStringView(m_data + at, length); }

    // Space for `units` more units after the ones in use, without using them yet; null when the
    // arena cannot grow that far.
    char16_t *reserveTail(qsizetype units);
    // Takes `units` units written after the ones in use (within what reserveTail made room for).
    void grow(qsizetype units) { m_size += units; }
    // Drops the units from `size` on; memory well past the new end (also memory reserveTail made
    // room with) goes back to the system.
    void truncate(qsizetype size);
    // Gives everything back.
    void release();

    // Appends `text` and returns where it starts; false when the arena is full.
    bool append(QStringView text, Offset *at);

    // The largest number of units an arena can ever hold.
    static constexpr qsizetype maxUnits() { return qsizetype(UINT32_MAX); }
    // Holds at most `units` units from now on (tests use it to run out of room).
    void setLimit(qsizetype units) { m_limit = qMin(units, maxUnits()); }
    qsizetype limit() const { return m_limit; }

private:
    bool commitTo(qsizetype units);

    char16_t *m_data = nullptr;
    qsizetype m_size = 0;      // units in use
    qsizetype m_committed = 0; // units backed by memory
    qsizetype m_reserved = 0;  // units of address space
    qsizetype m_reservedBytes = 0;
    qsizetype m_limit = maxUnits();
};
