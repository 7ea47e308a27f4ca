#include "color/FilterRows.h"

#include "color/RowKernels.h"

#include <algorithm>

namespace tintora::rows {

namespace {

const RowKernels* kernelsFor(Isa isa) { return isa == Isa::Avx2 ? avx2Kernels() : sse2Kernels(); }

bool processorHas(Isa isa)
{
#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
    return isa == Isa::Sse2 ? __builtin_cpu_supports("sse2") : __builtin_cpu_supports("avx2");
#else
    (void)isa;
    return false;
#endif
}

// Asked once: the processor does not change under a running program.
const RowKernels* bestKernels()
{
    static const RowKernels* best = [] {
        const auto isa = bestIsa();
        return isa ? kernelsFor(*isa) : nullptr;
    }();
    return best;
}

} // namespace

bool isaAvailable(Isa isa) { return kernelsFor(isa) && processorHas(isa); }

std::optional<Isa> bestIsa()
{
    for (Isa isa : {Isa::Avx2, Isa::Sse2})
        if (isaAvailable(isa))
            return isa;
    return std::nullopt;
}

RowPatterns::RowPatterns(ExcludedBytes excluded, const ValueForm& form)
{
    const std::uint8_t keyBytes[3] = {excluded.blue, excluded.green, excluded.red};
    for (std::size_t i = 0; i < 96; ++i) {
        const std::size_t channel = i % 3;
        key[i] = keyBytes[channel];
        firstByte[i] = channel == 0 ? 0xFF : 0;
        lastByte[i] = channel == 2 ? 0xFF : 0;
        oddValue[i] = form.oddValue[channel];
        oddByte[i] = form.oddByte[channel];
    }
    for (std::size_t w = 0; w < 48; ++w) {
        evenMultiplier[w] = form.multiplier[(2 * w) % 3];
        oddMultiplier[w] = form.multiplier[(2 * w + 1) % 3];
    }
    hasOddValues = form.hasOddValues();
}

BrightnessRows::BrightnessRows(int amount, ExcludedBytes excluded)
    : m_excluded(excluded), m_patterns(excluded)
{
    // As saturating steps: amounts beyond 255 either way clamp like 255 does.
    const std::int64_t step = std::clamp<std::int64_t>(amount, -255, 255);
    (step < 0 ? m_down : m_up) = std::uint8_t(step < 0 ? -step : step);
    for (int c = 0; c < 256; ++c)
        m_table[std::size_t(c)] = std::uint8_t(std::clamp<std::int64_t>(std::int64_t(c) + step, 0, 255));
}

void BrightnessRows::scalar(std::uint8_t* row, int width) const
{
    for (std::uint8_t* end = row + 3 * std::size_t(width); row != end; row += 3) {
        if (m_excluded.matches(row))
            continue;
        row[0] = m_table[row[0]];
        row[1] = m_table[row[1]];
        row[2] = m_table[row[2]];
    }
}

void BrightnessRows::vector(Rows rows) const
{
    if (const RowKernels* kernels = bestKernels())
        kernels->brighten(*this, rows);
    else
        for (int y = 0; y < rows.count; ++y)
            scalar(rows.first + y * rows.stride, rows.width);
}

void BrightnessRows::vector(Rows rows, Isa isa) const { kernelsFor(isa)->brighten(*this, rows); }

ColorizeRows::ColorizeRows(const ValueTable& table, ExcludedBytes excluded)
    : ColorizeRows(table, excluded, fitValueForm(table))
{
}

ColorizeRows::ColorizeRows(const ValueTable& table, ExcludedBytes excluded,
                           const std::optional<ValueForm>& form)
    : m_table(table), m_excluded(excluded), m_computes(form.has_value()),
      m_patterns(excluded, form.value_or(ValueForm{}))
{
}

void ColorizeRows::scalar(std::uint8_t* row, int width) const
{
    for (std::uint8_t* end = row + 3 * std::size_t(width); row != end; row += 3) {
        if (m_excluded.matches(row))
            continue;
        const auto& out = m_table[std::max({row[0], row[1], row[2]})];
        row[0] = out[0];
        row[1] = out[1];
        row[2] = out[2];
    }
}

void ColorizeRows::vector(Rows rows) const
{
    if (const RowKernels* kernels = bestKernels())
        kernels->colorize(*this, rows);
    else
        for (int y = 0; y < rows.count; ++y)
            scalar(rows.first + y * rows.stride, rows.width);
}

void ColorizeRows::vector(Rows rows, Isa isa) const { kernelsFor(isa)->colorize(*this, rows); }

} // namespace tintora::rows
