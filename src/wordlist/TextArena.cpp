#include "TextArena.h"

#include "LargeBuffer.h"

#include <QtGlobal>

#include <cstring>
#include <utility>

namespace {

constexpr qsizetype kUnit = qsizetype(sizeof(char16_t));
// Memory is committed and given back in steps of this many bytes: a huge page, so that where the
// system has transparent huge pages one fault fills 2 MiB instead of 4 KiB.
constexpr qsizetype kStep = qsizetype(2) << 20;

qsizetype roundUp(qsizetype bytes, qsizetype to)
{
    return (bytes + to - 1) / to * to;
}

// Reserves address space (no memory yet) for as many bytes as the system grants, up to `wanted`
// and what a limit on the address space leaves room for. Returns the start, aligned to kStep, and
// sets `granted`; null (nothing granted) when not even one step could be reserved.
void *reserveUpTo(qsizetype wanted, qsizetype *granted)
{
    const auto room = qsizetype(LargeBuffer::reservationRoom(std::size_t(wanted)));
    for (qsizetype bytes = room / kStep * kStep; bytes >= kStep; bytes = bytes / 2 / kStep * kStep) {
        if (void *p = LargeBuffer::reserve(std::size_t(bytes), std::size_t(kStep))) {
            *granted = bytes;
            return p;
        }
    }
    *granted = 0;
    return nullptr;
}

} // namespace

TextArena::~TextArena()
{
    release();
}

TextArena::TextArena(TextArena &&other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)),
      m_committed(std::exchange(other.m_committed, 0)), m_reserved(std::exchange(other.m_reserved, 0)),
      m_reservedBytes(std::exchange(other.m_reservedBytes, 0)), m_limit(other.m_limit)
{
}

TextArena &TextArena::operator=(TextArena &&other) noexcept
{
    if (this != &other) {
        release();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_committed = std::exchange(other.m_committed, 0);
        m_reserved = std::exchange(other.m_reserved, 0);
        m_reservedBytes = std::exchange(other.m_reservedBytes, 0);
        m_limit = other.m_limit;
    }
    return *this;
}

bool TextArena::commitTo(qsizetype units)
{
    if (units <= m_committed && m_data)
        return true;
    if (!m_data) {
        const qsizetype wanted = sizeof(void *) >= 8 ? maxUnits() * kUnit : qsizetype(1) << 30;
        qsizetype granted = 0;
        m_data = static_cast<char16_t *>(reserveUpTo(roundUp(wanted, kStep), &granted));
        m_reservedBytes = granted;
        m_reserved = qMin(granted / kUnit, maxUnits());
        if (!m_data)
            return false;
    }
    if (units > m_reserved)
        return false;
    if (units <= m_committed)
        return true;
    // Grow by at least an eighth, so a steadily growing list commits a few dozen times in all.
    qsizetype bytes = roundUp(qMax(units, m_committed + m_committed / 8) * kUnit, kStep);
    bytes = qMin(bytes, m_reserved * kUnit);
    char *base = reinterpret_cast<char *>(m_data);
    const qsizetype from = m_committed * kUnit;
    if (!LargeBuffer::commit(base + from, std::size_t(bytes - from))) {
        // Less at once may still be granted.
        bytes = roundUp(units * kUnit, kStep);
        if (bytes > m_reserved * kUnit || !LargeBuffer::commit(base + from, std::size_t(bytes - from)))
            return false;
    }
    m_committed = bytes / kUnit;
    return true;
}

char16_t *TextArena::reserveTail(qsizetype units)
{
    if (units < 0 || units > m_limit - m_size || !commitTo(m_size + units))
        return nullptr;
    return m_data + m_size;
}

void TextArena::truncate(qsizetype size)
{
    if (size > m_size)
        return;
    m_size = qMax<qsizetype>(size, 0);
    // Keep one step of slack so that a list cut back and grown again does not churn.
    const qsizetype keepBytes = roundUp(m_size * kUnit, kStep) + kStep;
    if (m_committed * kUnit > keepBytes) {
        LargeBuffer::decommit(reinterpret_cast<char *>(m_data) + keepBytes, std::size_t(m_committed * kUnit - keepBytes));
        m_committed = keepBytes / kUnit;
    }
}

void TextArena::release()
{
    if (m_data)
        LargeBuffer::unreserve(m_data, std::size_t(m_reservedBytes));
    m_data = nullptr;
    m_size = m_committed = m_reserved = m_reservedBytes = 0;
}

bool TextArena::append(QStringView text, Offset *at)
{
    char16_t *to = reserveTail(text.size());
    if (!to)
        return false;
    if (!text.isEmpty())
        std::memcpy(to, text.utf16(), size_t(text.size()) * sizeof(char16_t));
    *at = Offset(m_size);
    grow(text.size());
    return true;
}
