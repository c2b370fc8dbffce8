#pragma once
// The layout constants of workspace files and the texts their reader writes.
#include <cstdint>
#include <string_view>

namespace wox::workspace_file {

inline constexpr std::int32_t kWrittenVersion = 5;
inline constexpr std::int32_t kRecordTableVersion = 4;       // temporal elements index a record table
inline constexpr std::int32_t kSealedVersion = 5;            // always written with a checksum
inline constexpr std::int32_t kNumberedFromZeroVersion = 3;  // functions numbered from 0
inline constexpr std::int32_t kOldestVersion = 2;            // the "MyWoX" files
inline constexpr std::int32_t kFormatStamp = 20'130'602;
inline constexpr std::uint32_t kFileHeapSize = 629'145'600;

inline constexpr std::string_view kHeaderRule = "****************************************************";
static_assert(kHeaderRule.size() == 52);
inline constexpr std::string_view kHeaderProduct = "** Wox Software v0.4";
inline constexpr std::string_view kHeaderFormat = "** Workspace Save Format ver 1.1";
inline constexpr std::string_view kHeaderFileName = "** Filename: ";
inline constexpr std::string_view kOldMagic{"MyWoX\0", 6};

// Limits a stored counter must stay below (symbols and temporal records:
// at most), whatever the running program's own capacities.
inline constexpr std::int32_t kMaxLocalNames = 10'240;
inline constexpr std::int32_t kMaxGlobalNames = 2'048;
inline constexpr std::int32_t kMaxFunctions = 512;
inline constexpr std::int32_t kMaxFunctionsFromZero = 412;
inline constexpr std::int32_t kMaxParseNodes = 65'536;
inline constexpr std::int32_t kMaxFunctionEntries = 32'768;
inline constexpr std::int32_t kMaxBranches = 2'048;
inline constexpr std::int32_t kMaxOverflow = 256;
inline constexpr std::int32_t kMaxGList = 163'840;
inline constexpr std::int32_t kMaxCallTrace = 256;
inline constexpr std::int32_t kMaxTail = 10'240;
inline constexpr std::int32_t kMaxSymbolIndex = 10'005;
inline constexpr std::int32_t kMaxStoredSymbolLength = 128;  // the name's length + 1
inline constexpr std::int32_t kMaxTemporalRecords = 10'005;
inline constexpr std::int32_t kMaxReservedNames = 1'019;
inline constexpr std::int32_t kMaxVariables = 16'384;
inline constexpr std::int32_t kMaxConstants = 4'096;
inline constexpr std::int32_t kMaxShadowStack = 1'024;
// Function slot, last line, lines run, and up to 100 executed lines.
inline constexpr std::int32_t kMaxErrorTraceWords = 103;

inline constexpr int kNameEntryBytes = 20;
inline constexpr int kFunctionRecordBytes = 60;
inline constexpr int kParseNodeBytes = 28;
inline constexpr int kFunctionEntryBytes = 16;
inline constexpr int kBranchEntryBytes = 40;
inline constexpr int kTemporalRecordBytes = 32;
inline constexpr int kPairBytes = 8;

// What the reader writes into the session (each after "\r\n").
inline constexpr std::string_view kNotAWoxFile = "this is not a valid wox file";
inline constexpr std::string_view kUnknownVersion = "can not handle this version";
inline constexpr std::string_view kLoadError = "ws load error";
inline constexpr std::string_view kOldLoadError = "ws needs larger table or heap";
inline constexpr std::string_view kDamagedFile = "this wox file is damaged: its content does not match its checksum";
// A file is read aside before the workspace is replaced; this is the answer
// when no heap could be had for that.
inline constexpr std::string_view kNoRoomToCheck = "not enough memory to read this wox file aside";

}  // namespace wox::workspace_file
