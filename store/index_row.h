// IndexRow: one line of a folder index, eight TAB-separated fields (a ninth in extraction
// results and in Ref.ini).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace plumex {

inline constexpr size_t kIndexRowFields = 8;

struct IndexRow {
  // Positions of the fields in the line, for code that reads a row without parsing it whole
  // (the message list keeps 100,000 rows as their text).
  enum Field : size_t {
    kMessageId,
    kSubject,
    kCorrespondent,
    kDate,
    kSize,
    kAttachFlag,
    kMark,
    kPriority,
    kExtra,
  };

  std::string message_id;     // 0 MessageId
  std::string subject;        // 1 Subject
  std::string correspondent;  // 2 Correspondent
  std::string date;           // 3 Date
  std::string size;           // 4 Size
  std::string attach_flag;    // 5 AttachFlag: "1" has attachments, "2" none
  std::string mark;           // 6 Mark: "1" unread, "2" read, "3".."7" colours
  std::string priority;       // 7 Priority: "1" high, "2" normal
  std::optional<std::string> extra;  // 8 Folder (extraction) or SubjectKey (Ref.ini)

  // Nothing for a line with fewer than eight fields (an invalid row).
  static std::optional<IndexRow> Parse(std::string_view line);
  std::string ToLine() const;
};

// Mark values.
inline constexpr std::string_view kMarkUnread = "1";
inline constexpr std::string_view kMarkRead = "2";

// Removes CR and LF (and TAB, which would break the row) from a value before it goes in a row.
std::string RowField(std::string_view value);

}  // namespace plumex
