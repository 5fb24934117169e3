// The code path a digest runs on: the fastest one the processor has, unless a test or a
// benchmark picks another. Each digest keeps one table of its paths; the choice is made on
// first use, so it does not depend on the order in which static objects are initialised.
// Every decision takes the processor's features as a value (this processor's by default), so
// the choice for any processor can be checked on any machine.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>

#include "engine/digest/CpuFeatures.h"

namespace digest {

template <class Impl, class Fn>
struct PathRow {
    Impl impl;
    const char* name;
    bool (*runs)(const CpuFeatures&);   // a processor with these features can run it
    Fn fn;
};

template <class Impl, class Fn, size_t N>
class PathChoice {
public:
    using Row = PathRow<Impl, Fn>;

    // Rows fastest first; the last one runs everywhere.
    constexpr explicit PathChoice(const std::array<Row, N>& rows) : rows_(rows) {}

    bool Supported(Impl impl, const CpuFeatures& cpu = Cpu()) const {
        const Row* row = Find(impl);
        return row && row->runs(cpu);
    }
    Impl Best(const CpuFeatures& cpu = Cpu()) const { return rows_[BestIndex(cpu)].impl; }
    Impl Selected() { return rows_[SelectedIndex()].impl; }
    Fn SelectedFn() { return rows_[SelectedIndex()].fn; }
    // A path that `cpu` or this processor cannot run is refused and the choice stays as it
    // was, so a later call never reaches an illegal instruction; Selected() tells what is in use.
    void Select(Impl impl, const CpuFeatures& cpu = Cpu()) {
        for (size_t i = 0; i < N; ++i)
            if (rows_[i].impl == impl && rows_[i].runs(cpu) && rows_[i].runs(Cpu()))
                selected_.store(int(i), std::memory_order_relaxed);
    }
    const char* Name(Impl impl) const {
        const Row* row = Find(impl);
        return row ? row->name : "?";
    }
    // The function of one path; a path the processor cannot run gives the best one's.
    Fn FnOf(Impl impl) const { return Supported(impl) ? Find(impl)->fn : rows_[BestIndex()].fn; }

private:
    const Row* Find(Impl impl) const {
        for (const Row& row : rows_)
            if (row.impl == impl) return &row;
        return nullptr;
    }
    size_t BestIndex(const CpuFeatures& cpu = Cpu()) const {
        for (size_t i = 0; i < N; ++i)
            if (rows_[i].runs(cpu)) return i;
        return N - 1;
    }
    size_t SelectedIndex() {
        int v = selected_.load(std::memory_order_relaxed);
        if (v < 0) {
            v = int(BestIndex());
            selected_.store(v, std::memory_order_relaxed);
        }
        return size_t(v);
    }

    std::array<Row, N> rows_;
    std::atomic<int> selected_{-1};   // index into rows_; -1 until first use
};

}  // namespace digest
