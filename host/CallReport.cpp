#include "host/CallReport.h"

#include "host/ValueFormat.h"

namespace zekhost {
namespace {

std::string FormatDelivery(const Delivery& delivery, const HostStorage& storage) {
    std::string line;
    if (delivery.resultCode != 0) {
        line = "error " + std::to_string(delivery.resultCode) + ": ";
    }
    line += delivery.nullResult ? "null result" : FormatValue(delivery.value, storage);
    return line + "\n";
}

// Problems every call can show, whether or not it should deliver a result.
std::string CommonAnomalies(const CallOutcome& outcome) {
    std::string out;
    for (const Delivery& delivery : outcome.deliveries) {
        if (delivery.callCookie != outcome.callCookie) {
            out += "!! call cookie " + std::to_string(delivery.callCookie) + ", expected " +
                   std::to_string(outcome.callCookie) + "\n";
        }
        if (delivery.foreignServices) {
            out += "!! result delivered with another services table\n";
        }
    }
    for (int i = 0; i < outcome.badReleases; ++i) {
        out += "!! bad array release\n";
    }
    if (outcome.reservedFieldWritten) {
        out += "!! host field of the result record overwritten\n";
    }
    return out;
}

} // namespace

std::string ReportCall(const CallOutcome& outcome, const HostStorage& storage) {
    if (outcome.deliveries.empty()) {
        return "no result (returned " + std::to_string(outcome.returned) + ")\n" +
               CommonAnomalies(outcome);
    }
    std::string out;
    for (const Delivery& delivery : outcome.deliveries) {
        out += FormatDelivery(delivery, storage);
    }
    if (outcome.deliveries.size() > 1) {
        out += "!! " + std::to_string(outcome.deliveries.size()) + " results delivered\n";
    }
    if (outcome.returned != outcome.callbackReturn) {
        out += "!! returned " + std::to_string(outcome.returned) + ", callback returned " +
               std::to_string(outcome.callbackReturn) + "\n";
    }
    return out + CommonAnomalies(outcome);
}

std::string ReportAnomalies(const CallOutcome& outcome, const HostStorage& storage) {
    std::string out;
    for (const Delivery& delivery : outcome.deliveries) {
        out += "!! unexpected result: " + FormatDelivery(delivery, storage);
    }
    return out + CommonAnomalies(outcome);
}

} // namespace zekhost
