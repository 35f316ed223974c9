#include "bench/Report.h"

#include <map>
#include <vector>

namespace zekbench {
namespace {

struct Measurement {
    double nanoseconds = 0;
    double allocations = 0;
};

struct Comparison {
    std::string subject;
    std::string reference;
    double limit;
};

std::map<std::string, Measurement>& Measurements() {
    static std::map<std::string, Measurement> measurements;
    return measurements;
}

std::vector<Comparison>& Comparisons() {
    static std::vector<Comparison> comparisons;
    return comparisons;
}

std::vector<std::string>& Notes() {
    static std::vector<std::string> notes;
    return notes;
}

} // namespace

void RecordMeasurement(const std::string& name, double nanoseconds, double allocations) {
    Measurements()[name] = Measurement{nanoseconds, allocations};
}

void CompareWith(const std::string& subject, const std::string& reference, double limit) {
    Comparisons().push_back(Comparison{subject, reference, limit});
}

void AddNote(const std::string& text) {
    Notes().push_back(text);
}

void PrintReport(std::FILE* out, const std::string& tsvPath) {
    const auto& measurements = Measurements();
    std::fprintf(out, "\n| case | ns | beside | ns | ratio | limit | allocations | beside |\n");
    std::fprintf(out, "|---|---:|---|---:|---:|---:|---:|---:|\n");
    for (const Comparison& comparison : Comparisons()) {
        const auto subject = measurements.find(comparison.subject);
        const auto reference = measurements.find(comparison.reference);
        if (subject == measurements.end() || reference == measurements.end()) {
            continue; // filtered out of this run
        }
        if (reference->second.nanoseconds <= 0) {
            continue; // a run too short for the clock
        }
        const double ratio = subject->second.nanoseconds / reference->second.nanoseconds;
        char limit[32] = "";
        if (comparison.limit > 0) {
            std::snprintf(limit, sizeof limit, "%.2f%s", comparison.limit,
                          ratio <= comparison.limit ? "" : " MISSED");
        }
        std::fprintf(out, "| %s | %.1f | %s | %.1f | %.2f | %s | %.2f | %.2f |\n",
                     comparison.subject.c_str(), subject->second.nanoseconds,
                     comparison.reference.c_str(), reference->second.nanoseconds, ratio, limit,
                     subject->second.allocations, reference->second.allocations);
    }
    for (const std::string& note : Notes()) {
        std::fprintf(out, "\n%s\n", note.c_str());
    }
    if (tsvPath.empty()) {
        return;
    }
    if (std::FILE* tsv = std::fopen(tsvPath.c_str(), "w")) {
        std::fprintf(tsv, "case\tns\tallocations\n");
        for (const auto& entry : measurements) {
            std::fprintf(tsv, "%s\t%.3f\t%.3f\n", entry.first.c_str(), entry.second.nanoseconds,
                         entry.second.allocations);
        }
        std::fclose(tsv);
    }
}

} // namespace zekbench
