#include "remote/CnxRigctlLineReader.h"

namespace {

std::size_t ContentLength(std::string_view line) {
    return !line.empty() && line.back() == '\r' ? line.size() - 1 : line.size();
}

}  // namespace

void CnxRigctlLineReader::Append(std::string_view bytes) {
    buffer_.erase(0, front_);
    front_ = 0;
    buffer_.append(bytes);
}

CnxRigctlLineReader::Event CnxRigctlLineReader::Next(std::string& line) {
    for (;;) {
        const std::string_view rest = std::string_view(buffer_).substr(front_);
        const std::size_t end = rest.find('\n');
        if (end == std::string_view::npos) {
            if (skipping_) {
                buffer_.clear();
                front_ = 0;
            } else if (rest.size() > kMaxLineLength + 1) {  // one byte of room for a CR
                skipping_ = true;
                buffer_.clear();
                front_ = 0;
                return Event::kOverlong;
            }
            return Event::kNothing;
        }
        front_ += end + 1;
        if (skipping_) {
            skipping_ = false;
            continue;
        }
        const std::string_view found = rest.substr(0, end);
        if (ContentLength(found) > kMaxLineLength) {
            return Event::kOverlong;
        }
        line.assign(found);
        return Event::kLine;
    }
}

bool CnxRigctlLineReader::HasUnfinishedLine() const {
    const std::string_view rest = std::string_view(buffer_).substr(front_);
    const std::size_t lastEnd = rest.rfind('\n');
    return skipping_ ||
           (lastEnd == std::string_view::npos ? !rest.empty() : lastEnd + 1 < rest.size());
}
