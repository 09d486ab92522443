#include "remote/CnxRigctlAnswer.h"

CnxRigctlAnswer::CnxRigctlAnswer(const SnxRigctlCommand& command)
    : separator_(command.separator), reading_(command.reading) {
    if (!command.IsExtended()) {
        return;
    }
    header_ = command.name + ":";
    for (const std::string& argument : command.args) {
        header_ += ' ';
        header_ += argument;
    }
    header_ += separator_;
}

void CnxRigctlAnswer::AddValue(std::string_view key, std::string_view value) {
    if (separator_ != 0 && !key.empty()) {
        body_.append(key);
        body_ += ": ";
    }
    body_.append(value);
    body_ += separator_ != 0 ? separator_ : '\n';
}

void CnxRigctlAnswer::AddBlock(std::string_view lines) {
    body_.append(lines);
}

std::string CnxRigctlAnswer::Finish(int result) const {
    if (separator_ == 0) {
        if (result != 0) {
            return Report(result);
        }
        return reading_ && !body_.empty() ? body_ : body_ + Report(result);
    }
    return header_ + (result == 0 ? body_ : std::string()) + Report(result);
}

std::string CnxRigctlAnswer::Report(int result) {
    return "RPRT " + std::to_string(result) + "\n";
}
