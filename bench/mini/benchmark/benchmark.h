// The part of Google Benchmark's interface that the cases use, for the Windows build: Debian
// ships Google Benchmark for Linux only. MiniRunner.cpp runs what is registered here.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace benchmark {

using IterationCount = std::int64_t;

template <class T> inline void DoNotOptimize(T const& value) {
    asm volatile("" : : "r,m"(value) : "memory");
}

struct Counter {
    Counter(double v = 0) : value(v) {}
    double value;
};

class State {
public:
    explicit State(IterationCount iterations) : iterations_(iterations) {}

    // The loop variable of `for (auto _ : state)`, never read: a type marked so is no warning.
    struct [[maybe_unused]] Value {};
    class Iterator {
    public:
        Iterator(State* state, IterationCount left) : state_(state), left_(left) {}
        bool operator!=(const Iterator&) {
            if (left_ > 0) {
                --left_;
                return true;
            }
            state_->Stop();
            return false;
        }
        void operator++() {}
        Value operator*() const { return Value(); }

    private:
        State* state_;
        IterationCount left_;
    };

    Iterator begin() {
        Start();
        return Iterator(this, iterations_);
    }
    Iterator end() { return Iterator(this, 0); }

    IterationCount iterations() const { return iterations_; }
    double CpuSeconds() const { return cpuSeconds_; }

    std::map<std::string, Counter> counters;

private:
    void Start();
    void Stop();

    IterationCount iterations_;
    double startCpu_ = 0;
    double cpuSeconds_ = 0;
};

class Benchmark {};

Benchmark* RegisterBenchmark(const char* name, std::function<void(State&)> run);

} // namespace benchmark
