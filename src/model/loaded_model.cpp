#include "model/loaded_model.h"

namespace nvx::model {

LoadedModel& Loaded() {
    static LoadedModel loaded;
    return loaded;
}

}  // namespace nvx::model
