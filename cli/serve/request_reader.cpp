#include "cli/serve/request_reader.h"

#include <algorithm>
#include <cstring>

namespace cli::serve {

envelope::Scan RequestReader::Judge() {
    scan_ = envelope::ScanRequest(bytes_.data(), count_);
    return scan_.verdict;
}

envelope::Scan RequestReader::Added(std::size_t n) {
    count_ += std::min(n, bytes_.size() - count_);
    return Judge();
}

envelope::Scan RequestReader::Consume() {
    if (scan_.verdict == envelope::Scan::Complete) {
        const std::size_t used = envelope::kHeaderSize + scan_.payloadLength;
        std::memmove(bytes_.data(), bytes_.data() + used, count_ - used);
        count_ -= used;
    }
    return Judge();
}

std::span<const unsigned char> RequestReader::Payload() const {
    if (scan_.verdict != envelope::Scan::Complete) return {};
    return std::span<const unsigned char>(bytes_).subspan(envelope::kHeaderSize, scan_.payloadLength);
}

}  // namespace cli::serve
