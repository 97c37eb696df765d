// dBASE III tables (.dbf): a 32-byte header, 32-byte field descriptors ended by byte 13, then
// fixed-length records of text, each led by a deletion flag. Read by the field data import,
// written by the dBASE export. Addressed byte by byte (block size 1).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "filebase/LeValue.h"
#include "filebase/RecFile.h"

struct TDbfHeader {
  uint8_t Version;      // 3 once a field has been added
  uint8_t Year;         // of the last update, - 1900
  uint8_t Month;
  uint8_t Day;
  U32 Rec_Count;
  U16 Header_Len;       // 32 + 32 x fields + 1
  U16 Record_Len;       // 1 (deletion flag) + the field lengths
  uint8_t Reserved[17];
  uint8_t Language;     // language driver: the code page of the text (0x57 Windows ANSI)
  uint8_t Reserved2[2];
};

struct TDbfField {
  char Name[11];        // upper case, zero padded
  char Type;            // C, N, D or L
  U32 Offset;           // zero on disk; filled in with the field's place in the record when read
  uint8_t Length;
  uint8_t Decimals;
  uint8_t Reserved[14];

  // The name without trailing blanks and control characters.
  std::string FieldName() const;
};

static_assert(sizeof(TDbfHeader) == 32 && sizeof(TDbfField) == 32);

constexpr char kDbfHeaderEnd = 13;
constexpr char kDbfFileEnd = 26;
constexpr char kDbfDeleted = '*';
constexpr uint8_t kDbfAnsi = 0x57;  // language driver of code page 1252

class TDbfFile : public TRecFile {
 public:
  // Opens and checks a table (any record length when expectedRecordLength is 0); on failure the
  // file is closed and the error state says why (7 for an inconsistent header).
  bool OpenTable(const std::string& path, int expectedRecordLength, int32_t mode);

  uint32_t RecordCount() const { return header_.Rec_Count; }
  int HeaderLength() const { return header_.Header_Len; }
  int RecordLength() const { return header_.Record_Len; }
  int Version() const { return header_.Version; }
  void LastUpdate(int& year, int& month, int& day) const;
  // The number of field descriptors.
  int FieldCount() const { return static_cast<int>(fields_.size()); }

  // Descriptor i (1-based) as stored, and with its offset inside the record filled in.
  bool ReadFieldDescriptor(int i, TDbfField& field) const;
  bool GetFieldInfo(int i, TDbfField& field) const;
  // The 1-based index of the first field with that name (without regard to case), or 0.
  int FindField(const std::string& name) const;

  // Reads record n (1-based) into a buffer of RecordLength bytes.
  bool ReadRecord(uint32_t n, char* buffer);
  // The field's text with trailing blanks removed; leading blanks stay.
  static std::string FieldText(const char* record, const TDbfField& field);
  // Whether the table at `path` holds UTF-8 text: a code page file (.cpg) beside it says so;
  // without one, or naming another code page, its text is code page 1252.
  static bool TextIsUtf8(const std::string& path);

  // Creates an empty table (no fields yet) of code page 1252 text and leaves it open for writing.
  bool CreateTable(const std::string& path);
  // Adds a field before any record is written: name trimmed, upper-cased, cut to 10 characters.
  bool AddField(const std::string& name, char type, int length, int decimals);
  // Writes record n (1-based) from a buffer of RecordLength bytes; a record beyond the count
  // extends the table and is followed by the end-of-file byte.
  bool WriteRecord(uint32_t n, const char* buffer, bool flush);
  // Appends `count` records held one after the other in `buffer`, then the end-of-file byte, and
  // updates the header once: the quick way to write a whole table.
  bool AppendRecords(const char* buffer, uint32_t count);
  // Commits a written table to disk and closes it.
  bool CloseTable();

 private:
  bool ReadAndCheck(int expectedRecordLength);
  bool WriteHeader();
  // Stamps today's date; true when it changed.
  bool StampToday();

  TDbfHeader header_{};
  std::vector<TDbfField> fields_;  // as read, offsets filled in
  std::vector<char> writeBuffer_;  // a record and the end-of-file byte
};
