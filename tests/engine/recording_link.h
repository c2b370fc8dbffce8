#pragma once
// A link for an interpreter without a session: what the interpreter writes
// and shows goes to the functions a test sets (unset: dropped). Installed
// while it lives; the engine still answers the local-name question.
#include <functional>
#include <string_view>
#include <utility>

#include "engine/interpreter.h"
#include "engine/interpreter_link.h"

namespace wox::testing {

struct RecordingLink : engine::InterpreterLink {
    using Sink = std::function<void(std::string_view)>;

    explicit RecordingLink(Interpreter& in, Sink output = {})
        : InterpreterLink(in), onOutput(std::move(output)), in_(in) {
        in_.install(*this);
    }
    ~RecordingLink() override { in_.uninstall(); }
    RecordingLink(const RecordingLink&) = delete;
    RecordingLink& operator=(const RecordingLink&) = delete;

    void output(std::string_view text) override {
        if (onOutput) onOutput(text);
    }
    void diagnostic(std::string_view message) override {
        if (onDiagnostic) onDiagnostic(message);
    }

    Sink onOutput;
    Sink onDiagnostic;

private:
    Interpreter& in_;
};

}  // namespace wox::testing
