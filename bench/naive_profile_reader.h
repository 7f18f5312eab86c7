// The baseline a cached store is measured against: a profile read that
// opens the file, reads it whole and scans its lines for the key on every
// call, as an engine without a cache does at best. It handles plain ASCII
// files only, which is all the benchmark feeds it.
#ifndef ORX_BENCH_NAIVE_PROFILE_READER_H_
#define ORX_BENCH_NAIVE_PROFILE_READER_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace orx::bench {

// Copies the value of `key` in the first `section` of the file at `path`,
// or `default_value`, cut to size-1 units and terminated; returns the units
// copied.
uint32_t NaiveProfileRead(std::string_view section, std::string_view key,
                          std::string_view default_value, char16_t* buffer, uint32_t size,
                          const std::string& path);

}  // namespace orx::bench

#endif  // ORX_BENCH_NAIVE_PROFILE_READER_H_
