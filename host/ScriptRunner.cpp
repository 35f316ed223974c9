#include "host/ScriptRunner.h"

#include "host/CallReport.h"
#include "host/Utf.h"
#include "host/ValueFormat.h"

#include <algorithm>

namespace zekhost {
namespace {

// Arguments travel in at least this many records, zero-filled past the script's own: an
// extender that reads more arguments than a raw-id call gave reads empty values, not
// whatever lies beyond (16 is the most parameters a definition can declare).
constexpr std::size_t MinimumArgumentRecords = 16;

} // namespace

ScriptRunner::ScriptRunner(HostSession& session, const HandshakeResult& handshake,
                           StandinChannel* standin)
    : session_(session), handshake_(handshake), standin_(standin) {}

void ScriptRunner::SyntaxError(const std::string& message, std::string& transcript) {
    transcript += "syntax error: " + message + "\n";
    hadErrors_ = true;
}

void ScriptRunner::RunLine(const std::string& line, std::string& transcript) {
    const Statement statement = ParseLine(line);
    if (statement.kind == Statement::Kind::Skip) {
        return;
    }
    transcript += "> " + statement.text + "\n";
    if (statement.kind == Statement::Kind::Error) {
        SyntaxError(statement.error, transcript);
    } else if (statement.kind == Statement::Kind::Directive) {
        RunDirective(statement.directive, transcript);
    } else {
        RunCall(statement.call, transcript);
    }
}

bool ScriptRunner::BuildArgument(const Argument& argument, OwnedValue& value,
                                 std::string& error) const {
    value = OwnedValue{};
    value.type = argument.type;
    switch (argument.kind) {
    case Argument::Kind::Integer:
    case Argument::Kind::Typed:
        value.integer = argument.integer;
        break;
    case Argument::Kind::Wide:
        value.text = OwnedValue::Text::Wide;
        value.nullText = false;
        value.wide = argument.wide;
        break;
    case Argument::Kind::Narrow:
        value.text = OwnedValue::Text::Narrow;
        value.nullText = false;
        value.narrow = argument.narrow;
        break;
    case Argument::Kind::Float:
        value.real = argument.real;
        break;
    case Argument::Kind::NullText:
    case Argument::Kind::Empty:
        break;
    case Argument::Kind::Variable: {
        const auto found = variables_.find(argument.variable);
        if (found == variables_.end()) {
            error = "unknown variable " + argument.variable;
            return false;
        }
        value = found->second;
        break;
    }
    }
    return true;
}

void ScriptRunner::RunCall(const Call& call, std::string& transcript) {
    std::int16_t id = call.id;
    if (!call.byId) {
        std::uint32_t declared = 0;
        if (!FindFunction(handshake_, call.function, id, declared)) {
            SyntaxError("unknown function " + call.function, transcript);
            return;
        }
        if (declared != call.arguments.size()) {
            SyntaxError(call.function + " takes " + std::to_string(declared) + " argument" +
                            (declared == 1 ? "" : "s") + ", not " +
                            std::to_string(call.arguments.size()),
                        transcript);
            return;
        }
    }

    // Copies for this call alone, so an extender that writes into its arguments cannot
    // change a variable.
    std::vector<OwnedValue> owned(call.arguments.size());
    for (std::size_t i = 0; i < call.arguments.size(); ++i) {
        std::string error;
        if (!BuildArgument(call.arguments[i], owned[i], error)) {
            SyntaxError(error, transcript);
            return;
        }
    }
    std::vector<zekextender::HostValue> records((std::max)(owned.size(), MinimumArgumentRecords),
                                                zekextender::HostValue{});
    for (std::size_t i = 0; i < owned.size(); ++i) {
        records[i] = owned[i].View();
    }

    const CallOutcome outcome = session_.Send(id, records.data(), 0);
    transcript += ReportCall(outcome, session_.Storage());

    // Delivered arrays now belong to the host: the one kept in a variable stays, the others
    // are done with once printed.
    for (const Delivery& delivery : outcome.deliveries) {
        if (!delivery.nullResult && delivery.value.IsArray()) {
            session_.Storage().MarkDelivered(delivery.value.integer);
        }
    }
    const OwnedValue kept = outcome.deliveries.empty() || outcome.deliveries[0].nullResult
                                ? OwnedValue{}
                                : outcome.deliveries[0].value;
    if (!call.assignTo.empty()) {
        Assign(call.assignTo, kept);
    }
    for (const Delivery& delivery : outcome.deliveries) {
        ReleaseIfArray(delivery.value);
    }
}

void ScriptRunner::Define(const std::string& name, const std::string& text) {
    OwnedValue value;
    value.type = zekextender::HostValueWideString;
    value.text = OwnedValue::Text::Wide;
    value.nullText = false;
    Utf8ToUtf16(text, value.wide);
    Assign(name, value);
}

void ScriptRunner::Assign(const std::string& name, const OwnedValue& value) {
    OwnedValue& slot = variables_[name];
    const OwnedValue previous = slot;
    slot = value;
    ReleaseIfArray(previous);
}

void ScriptRunner::ReleaseIfArray(const OwnedValue& value) {
    if (!value.IsArray()) {
        return;
    }
    // Still held while any variable refers to it.
    for (const auto& entry : variables_) {
        if (entry.second.IsArray() && entry.second.integer == value.integer) {
            return;
        }
    }
    session_.Storage().ReleaseHeld(value.integer);
}

void ScriptRunner::RunDirective(const Directive& directive, std::string& transcript) {
    HostStorage& storage = session_.Storage();
    std::string anomalies;
    switch (directive.kind) {
    case DirectiveKind::FailArrayCreate:
        storage.FailArrayCreate();
        break;
    case DirectiveKind::FailArrayElement:
        storage.FailArrayElement(static_cast<std::int32_t>(directive.number));
        break;
    case DirectiveKind::FailVariable:
        storage.FailVariable();
        break;
    case DirectiveKind::FailNone:
        storage.ClearFailures();
        break;
    case DirectiveKind::CallbackReturn:
        session_.Results().SetCallbackReturn(static_cast<std::int32_t>(directive.number));
        break;
    case DirectiveKind::HostVersion:
        session_.SetHostVersion(static_cast<std::uint32_t>(directive.number));
        break;
    case DirectiveKind::Count: {
        WString refusal;
        const std::int32_t count = RequestCount(session_, refusal, anomalies);
        transcript += "count " + std::to_string(count);
        if (count == -1) {
            transcript += " \"" + EscapeWide(refusal) + "\"";
        }
        transcript += "\n";
        break;
    }
    case DirectiveKind::Definition: {
        const FunctionInfo function =
            RequestDefinition(session_, static_cast<std::uint32_t>(directive.number), anomalies);
        transcript += function.defined ? "definition " + std::to_string(function.index) + ": " +
                                             FormatFunction(function) + "\n"
                                       : FormatFunction(function) + "\n";
        break;
    }
    case DirectiveKind::Acknowledge: {
        const CallOutcome outcome = session_.Send(zekextender::RequestAcknowledge, nullptr, 0);
        transcript += "returned " + std::to_string(outcome.returned) + "\n";
        anomalies += ReportAnomalies(outcome, storage);
        break;
    }
    case DirectiveKind::Query:
        transcript +=
            "returned " +
            std::to_string(session_.Query(static_cast<std::int16_t>(directive.number), 0, 0)) +
            "\n";
        break;
    case DirectiveKind::Standin:
        transcript += RunStandinCommand(standin_, directive.text);
        break;
    case DirectiveKind::Com:
        transcript +=
            "com: " + (standin_ != nullptr ? standin_->ComApartment() : "unavailable") + "\n";
        break;
    case DirectiveKind::Exit:
        exitRequested_ = true;
        break;
    }
    transcript += anomalies;
}

void ScriptRunner::Finish(std::string& transcript) {
    for (const auto& entry : variables_) {
        if (entry.second.IsArray()) {
            session_.Storage().ReleaseHeld(entry.second.integer);
        }
    }
    variables_.clear();
    const int leaked = session_.Storage().LeakedArrays();
    if (leaked > 0) {
        transcript += "!! " + std::to_string(leaked) + " arrays leaked\n";
    }
}

std::string RunScript(const std::string& script, HostSession& session,
                      const HandshakeResult& handshake, bool& hadErrors, StandinChannel* standin,
                      const std::vector<std::pair<std::string, std::string>>& defines,
                      bool* exitRequested) {
    std::string transcript = handshake.anomalies;
    ScriptRunner runner(session, handshake, standin);
    for (const auto& [name, text] : defines) {
        runner.Define(name, text);
    }
    std::size_t start = 0;
    // A byte-order mark is not part of the first line.
    if (script.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        start = 3;
    }
    while (start < script.size()) {
        std::size_t end = script.find('\n', start);
        if (end == std::string::npos) {
            end = script.size();
        }
        runner.RunLine(script.substr(start, end - start), transcript);
        start = end + 1;
        if (runner.ExitRequested()) {
            if (exitRequested != nullptr) {
                *exitRequested = true;
            }
            hadErrors = runner.HadErrors();
            return transcript;
        }
    }
    runner.Finish(transcript);
    hadErrors = runner.HadErrors();
    return transcript;
}

} // namespace zekhost
