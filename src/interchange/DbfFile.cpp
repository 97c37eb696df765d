#include "interchange/DbfFile.h"

#include <algorithm>
#include <cstring>
#include <fstream>

#include "common/DayNum.h"
#include "common/Parse.h"
#include "common/TextUtil.h"
#include "filebase/FileUtl.h"

namespace {

constexpr int kMaxNameLength = 10;
constexpr int kDescriptorSize = 32;
constexpr int kMaxLength = 0xFFFF;  // header and record lengths are 16-bit

}  // namespace

std::string TDbfField::FieldName() const {
  const size_t end = std::find(Name, Name + kMaxNameLength, '\0') - Name;  // a name ends at its first zero
  std::string s(Name, end);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.pop_back();
  return s;
}

bool TDbfFile::OpenTable(const std::string& path, int expectedRecordLength, int32_t mode) {
  header_ = TDbfHeader{};
  fields_.clear();
  if (!Open(path, 1, mode)) return false;
  if (!ReadAndCheck(expectedRecordLength)) {
    const int32_t error = ErrorState;
    Close();
    ErrorState = error;
    header_ = TDbfHeader{};
    fields_.clear();
    return false;
  }
  return true;
}

bool TDbfFile::ReadAndCheck(int expectedRecordLength) {
  if (!ReadRecords(0, sizeof header_, &header_)) return false;
  const int64_t size = FileSize();
  const int64_t headerLen = header_.Header_Len, recordLen = header_.Record_Len;
  ErrorState = esFormat;
  if (expectedRecordLength > 0 && recordLen != expectedRecordLength) return false;
  if (headerLen <= kDescriptorSize || headerLen >= size || recordLen == 0) return false;
  const int64_t count = header_.Rec_Count;
  if ((size - headerLen - 1) / recordLen != count && (size - headerLen) / recordLen != count) return false;

  // The descriptors, up to the end-of-header byte; every field must lie inside the record.
  std::vector<char> block(static_cast<size_t>(headerLen - kDescriptorSize));
  if (!ReadRecords(kDescriptorSize, static_cast<int64_t>(block.size()), block.data())) return false;
  const size_t slots = (block.size() - 1) / kDescriptorSize;
  uint32_t offset = 1;
  for (size_t i = 0; i < slots && block[i * kDescriptorSize] != kDbfHeaderEnd; ++i) {
    TDbfField field;
    std::memcpy(&field, &block[i * kDescriptorSize], sizeof field);
    field.Offset = offset;
    offset += field.Length;
    if (offset > recordLen) {
      ErrorState = esFormat;
      return false;
    }
    fields_.push_back(field);
  }
  ErrorState = esNone;
  return true;
}

void TDbfFile::LastUpdate(int& year, int& month, int& day) const {
  year = kFirstDateYear + header_.Year;
  month = header_.Month;
  day = header_.Day;
}

bool TDbfFile::ReadFieldDescriptor(int i, TDbfField& field) const {
  if (!GetFieldInfo(i, field)) return false;
  field.Offset = 0;
  return true;
}

bool TDbfFile::GetFieldInfo(int i, TDbfField& field) const {
  if (i < 1 || i > FieldCount()) return false;
  field = fields_[static_cast<size_t>(i - 1)];
  return true;
}

int TDbfFile::FindField(const std::string& name) const {
  if (name.size() > kMaxNameLength) return 0;
  for (size_t i = 0; i < fields_.size(); ++i)
    if (SameText(fields_[i].FieldName(), name)) return static_cast<int>(i) + 1;
  return 0;
}

bool TDbfFile::ReadRecord(uint32_t n, char* buffer) {
  if (n < 1 || n > RecordCount()) {
    ErrorState = esRead;
    return false;
  }
  const int64_t pos = HeaderLength() + int64_t{RecordLength()} * (n - 1);
  return ReadRecords(pos, RecordLength(), buffer);
}

std::string TDbfFile::FieldText(const char* record, const TDbfField& field) {
  std::string s(record + field.Offset, field.Length);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
  return s;
}

bool TDbfFile::TextIsUtf8(const std::string& path) {
  std::ifstream in(ChangeFileExt(path, ".cpg"));
  std::string codePage;
  std::getline(in, codePage);
  const std::string cp = UpperCase(Trim(codePage));
  return cp == "UTF-8" || cp == "UTF8" || cp == "65001";
}

bool TDbfFile::CreateTable(const std::string& path) {
  header_ = TDbfHeader{};
  fields_.clear();
  if (!Begin(path, 1)) return false;
  header_.Header_Len = kDescriptorSize + 1;
  header_.Record_Len = 1;
  header_.Language = kDbfAnsi;  // readers that go by it decode the accented names right
  StampToday();
  const char ends[2] = {kDbfHeaderEnd, kDbfFileEnd};
  return WriteHeader() && WriteRecords(kDescriptorSize, 2, false, ends);
}

bool TDbfFile::AddField(const std::string& name, char type, int length, int decimals) {
  const std::string upper = UpperCase(Trim(name)).substr(0, kMaxNameLength);
  const int headerLen = HeaderLength() + kDescriptorSize, recordLen = RecordLength() + length;
  if (!IsOpen() || RecordCount() > 0 || upper.empty() || length < 1 || length > 255 || decimals < 0 ||
      decimals > length || headerLen > kMaxLength || recordLen > kMaxLength) {
    ErrorState = esWrite;
    return false;
  }
  TDbfField field{};
  std::memcpy(field.Name, upper.data(), upper.size());
  field.Type = UpCaseChar(type);
  field.Length = static_cast<uint8_t>(length);
  field.Decimals = static_cast<uint8_t>(decimals);
  char bytes[kDescriptorSize + 2];
  std::memcpy(bytes, &field, kDescriptorSize);
  bytes[kDescriptorSize] = kDbfHeaderEnd;
  bytes[kDescriptorSize + 1] = kDbfFileEnd;
  if (!WriteRecords(HeaderLength() - 1, sizeof bytes, false, bytes)) return false;
  field.Offset = static_cast<uint32_t>(RecordLength());
  fields_.push_back(field);
  header_.Version = 3;
  header_.Header_Len = static_cast<uint16_t>(headerLen);
  header_.Record_Len = static_cast<uint16_t>(recordLen);
  StampToday();
  return WriteHeader();
}

bool TDbfFile::WriteRecord(uint32_t n, const char* buffer, bool flush) {
  if (n < 1 || n > RecordCount() + 1) {  // a gap would leave records of zero bytes
    ErrorState = esWrite;
    return false;
  }
  const bool extends = n > RecordCount();
  const size_t length = static_cast<size_t>(RecordLength());
  writeBuffer_.assign(buffer, buffer + length);
  if (extends) writeBuffer_.push_back(kDbfFileEnd);
  const int64_t pos = HeaderLength() + int64_t{RecordLength()} * (n - 1);
  if (!WriteRecords(pos, static_cast<int64_t>(writeBuffer_.size()), false, writeBuffer_.data())) return false;
  bool changed = StampToday();
  if (extends) {
    header_.Rec_Count = n;
    changed = true;
  }
  if (changed) return WriteHeader() && (!flush || Reopen());
  return !flush || Reopen();
}

bool TDbfFile::AppendRecords(const char* buffer, uint32_t count) {
  if (count == 0) return true;
  const size_t length = static_cast<size_t>(RecordLength()) * count;
  writeBuffer_.assign(buffer, buffer + length);
  writeBuffer_.push_back(kDbfFileEnd);
  const int64_t pos = HeaderLength() + int64_t{RecordLength()} * RecordCount();
  if (!WriteRecords(pos, static_cast<int64_t>(writeBuffer_.size()), false, writeBuffer_.data())) return false;
  StampToday();
  header_.Rec_Count += count;
  return WriteHeader();
}

bool TDbfFile::CloseTable() {
  if (!IsOpen()) return true;
  if (IsPending()) {  // a new table takes its name now, complete
    if (Commit()) return Close();
    const int32_t error = ErrorState;
    Discard();
    ErrorState = error;
    return false;
  }
  if (!IsReadOnly() && !Reopen()) {
    const int32_t error = ErrorState;
    Close();
    ErrorState = error;
    return false;
  }
  return Close();
}

bool TDbfFile::WriteHeader() { return WriteRecords(0, sizeof header_, false, &header_); }

bool TDbfFile::StampToday() {
  int year = 0, month = 0, day = 0;
  DecodeDay(TodayDay(), year, month, day);
  const auto y = static_cast<uint8_t>(year - kFirstDateYear);
  if (header_.Year == y && header_.Month == month && header_.Day == day) return false;
  header_.Year = y;
  header_.Month = static_cast<uint8_t>(month);
  header_.Day = static_cast<uint8_t>(day);
  return true;
}
