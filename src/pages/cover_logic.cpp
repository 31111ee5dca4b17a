#include "pages/cover_logic.h"

#include <iterator>

namespace nvx::pages::cover {

const char* SwitchName(Type type) {
    switch (type) {
    case Type::Type1:
        return "_PRP_COVER_TYPE1";
    case Type::Type2:
        return "_PRP_COVER_TYPE2";
    case Type::Type3:
        return "_PRP_COVER_TYPE3";
    }
    return "";
}

bool Carries(Type type, int control) {
    switch (control) {
    case kFront:
    case kFrontOp:
    case kFrontTray:
    case kBack:
    case kBackOp:
    case kBackTray:
    case kOhp:
    case kOhpOp:
    case kOhpTray:
    case kRestore:
        return true;
    case kPiFront:
    case kPiFrontTray:
    case kPiBack:
    case kPiBackTray:
        return type == Type::Type1;
    default:
        return false;
    }
}

int OwnerOf(int control) {
    switch (control) {
    case kFrontOp:
    case kFrontTray:
        return kFront;
    case kBackOp:
    case kBackTray:
        return kBack;
    case kOhpOp:
    case kOhpTray:
        return kOhp;
    case kPiFrontTray:
        return kPiFront;
    case kPiBackTray:
        return kPiBack;
    case kCarbonDetails:
        return kCarbon;
    case kPerPageOp:
    case kPerPageEdit:
        return kPerPage;
    default:
        return 0;
    }
}

Enables ComputeEnables(const OEMDEV& r) {
    Enables e;
    e.frontOp = e.frontTray = settings::GetNumber(r, "bFrontCover") != 0;
    e.backOp = e.backTray = settings::GetNumber(r, "bBackCover") != 0;
    e.ohpOp = e.ohpTray = settings::GetNumber(r, "bOHP") != 0;
    e.piFrontTray = settings::GetNumber(r, "CoverMFP.bPIFCover") != 0;
    e.piBackTray = settings::GetNumber(r, "CoverMFP.bPIBCover") != 0;
    return e;
}

bool Enabled(const Enables& e, int control) {
    switch (control) {
    case kFrontOp:
        return e.frontOp;
    case kFrontTray:
        return e.frontTray;
    case kBackOp:
        return e.backOp;
    case kBackTray:
        return e.backTray;
    case kOhpOp:
        return e.ohpOp;
    case kOhpTray:
        return e.ohpTray;
    case kPiFrontTray:
        return e.piFrontTray;
    case kPiBackTray:
        return e.piBackTray;
    default:
        return true;
    }
}

namespace {
constexpr const char* kFields[] = {"bFrontCover", "nFrontCoverMode",   "nFrontCoverTray",       "bBackCover",
                                   "nBackCoverMode", "nBackCoverTray", "bOHP",                  "nOHPMode",
                                   "nOHPTray",       "CoverMFP.bPIFCover", "CoverMFP.nPIFCoverTray",
                                   "CoverMFP.bPIBCover", "CoverMFP.nPIBCoverTray"};
constexpr size_t kCommonFields = 9;
}  // namespace

size_t DefaultFields(Type type, const char* const** fields) {
    *fields = kFields;
    return type == Type::Type1 ? std::size(kFields) : kCommonFields;
}

}  // namespace nvx::pages::cover
