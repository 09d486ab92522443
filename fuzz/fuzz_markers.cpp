// Feeds arbitrary bytes to both marker readers: as the marker file kept beside the settings and as
// a marker CSV file. Whatever they take must be a marker a graph can show, and must read back the
// same after being written.
#include <QByteArray>
#include <QLoggingCategory>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "scanner/CnxMarkerCsv.h"
#include "scanner/CnxMarkerStore.h"

namespace {

void Check(const SnxScopeMarker& marker) {
    if (marker.frequency < 0 || marker.comment.size() > SnxScopeMarker::kMaxCommentLength ||
        marker.rgb > 0xffffffu) {
        std::abort();
    }
    for (QChar c : marker.comment) {
        if (c.category() == QChar::Other_Control) {
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Every broken line is logged; at fuzzing speed that would be all the fuzzer does.
    QLoggingCategory::setFilterRules(QStringLiteral("k740.scanner=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView text(data, qsizetype(size));

    const auto entries = CnxMarkerStore::Parse(text);
    for (const CnxMarkerStore::Entry& entry : entries) {
        if (entry.serial.isEmpty()) {
            std::abort();
        }
        Check(entry.marker);
    }
    if (CnxMarkerStore::Parse(CnxMarkerStore::Write(entries)) != entries) {
        std::abort();
    }

    const CnxMarkerCsv::Result result = CnxMarkerCsv::Parse(text);
    const auto& markers = result.markers;
    if (int(markers.size()) > SnxScopeMarker::kMaxMarkers ||
        int(result.firstSkips.size()) > std::min(result.skipped, CnxMarkerCsv::kListedSkips)) {
        std::abort();
    }
    for (const SnxScopeMarker& marker : markers) {
        Check(marker);
    }
    const CnxMarkerCsv::Result again = CnxMarkerCsv::Parse(CnxMarkerCsv::Write(markers));
    if (again.markers != markers || again.skipped != 0) {
        std::abort();
    }
    return 0;
}
