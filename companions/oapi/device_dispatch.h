// The simulator's side of one call (device_server.h): runs the call a wire
// request names against this process's component and answers its code.  out has
// the size the caller asked for and receives the call's output block; a call that
// opens an access sets *handle.  Free of the Win32 declarations (see remote_call.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "block_writer.h"

namespace nvxo {

uint32_t Dispatch(const std::string& fn, const json& body, std::vector<uint8_t>& out, uint64_t* handle);

}  // namespace nvxo
