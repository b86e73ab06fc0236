#include "msgbase/jam/jam_subfields.h"

#include "msgbase/jam/jam_layout.h"
#include "text/text_helpers.h"

namespace vm::jam {
namespace {

// Widths of what a reader gets from the subfields.
constexpr size_t kNameWidth = 65;
constexpr size_t kSubjectWidth = 100;
constexpr size_t kAddressTextWidth = 128;
constexpr size_t kKludgeValueWidth = 240;
// Widths of the values PutKludge files.
constexpr size_t kPidWidth = 40;
constexpr size_t kIdWidth = 100;

// Subfields that come back as kludge lines: the text that precedes the value after 0x01.
struct KludgeLineForm {
  uint16_t id;
  std::string_view lead;
};
constexpr KludgeLineForm kKludgeLineForms[] = {
    {sub::kMsgId, "MSGID: "}, {sub::kReply, "REPLY: "}, {sub::kPid, "PID: "},
    {sub::kTrace, "Via "},    {sub::kKludge, ""},       {sub::kSeenBy, "SEEN-BY: "},
    {sub::kPath, "PATH: "},   {sub::kFlags, "FLAGS: "}, {sub::kTimeZone, "TZUTC: "},
};

// Subfield data as one line of text: some writers add a terminating zero, and a carriage
// return inside a value would split the kludge line it becomes.
std::string_view AsLine(std::string_view data) {
  size_t end = data.find_first_of(std::string_view("\0\r", 2));
  return data.substr(0, end);
}

NetAddress AddressFromText(std::string_view text) {
  return ParseNetAddress(text.substr(0, kAddressTextWidth), NetAddress{}).value_or(NetAddress{});
}

void AppendName(std::string& names, std::string_view name) {
  if (!names.empty()) names += ' ';
  names += name;
}

}  // namespace

std::vector<Subfield> DecodeSubfields(std::string_view area) {
  std::vector<Subfield> subfields;
  size_t pos = 0;
  while (area.size() - pos >= kSubHeaderSize) {
    uint16_t id = GetLe16(area, pos + kSubId);
    uint32_t length = GetLe32(area, pos + kSubLength);
    pos += kSubHeaderSize;
    // A length past the area means a damaged header: nothing after it can be trusted.
    if (length > area.size() - pos) break;
    subfields.push_back(Subfield{id, std::string(area.substr(pos, length))});
    pos += length;
  }
  return subfields;
}

std::string EncodeSubfields(const std::vector<Subfield>& subfields) {
  std::string area;
  for (const Subfield& field : subfields) {
    if (area.size() + kSubHeaderSize + field.data.size() > kMaxWrittenSubfields) continue;
    std::string head(kSubHeaderSize, '\0');
    PutLe16(head, kSubId, field.id);
    PutLe32(head, kSubLength, static_cast<uint32_t>(field.data.size()));
    area += head;
    area += field.data;
  }
  return area;
}

MessageFields InterpretSubfields(const std::vector<Subfield>& subfields, uint32_t attributes) {
  MessageFields fields;
  std::string attached;
  std::string requested;
  for (const Subfield& field : subfields) {
    std::string_view data = AsLine(field.data);
    switch (field.id) {
      case sub::kOrigAddress: fields.orig = AddressFromText(data); continue;
      case sub::kDestAddress: fields.dest = AddressFromText(data); continue;
      case sub::kFromName: fields.fromName = CutTo(data, kNameWidth); continue;
      case sub::kToName: fields.toName = CutTo(data, kNameWidth); continue;
      case sub::kSubject: fields.subject = CutTo(data, kSubjectWidth); continue;
      case sub::kAttachedFile: AppendName(attached, data); continue;
      case sub::kRequestedFiles: AppendName(requested, data); continue;
      default: break;
    }
    for (const KludgeLineForm& form : kKludgeLineForms) {
      if (form.id != field.id) continue;
      fields.kludgeLines += '\x01';
      fields.kludgeLines += form.lead;
      fields.kludgeLines += data.substr(0, kKludgeValueWidth);
      fields.kludgeLines += '\r';
    }
  }
  if ((attributes & bit::kFileAttached) && !attached.empty())
    fields.subject = CutTo(attached, kSubjectWidth);
  if ((attributes & bit::kFileRequest) && !requested.empty())
    fields.subject = CutTo(requested, kSubjectWidth);
  return fields;
}

std::optional<Subfield> FileKludgeLine(std::string_view line) {
  std::string_view kludge = line;
  if (!kludge.empty() && kludge[0] == '\x01') kludge.remove_prefix(1);
  // The keyword ends at a colon or a blank, so that REPLYTO or REPLYADDR is not taken for
  // REPLY and filed with a broken value.
  size_t wordEnd = kludge.find_first_of(": ");
  std::string_view word = kludge.substr(0, wordEnd);
  auto value = [&](size_t width) {
    std::string_view rest = wordEnd == std::string_view::npos ? "" : kludge.substr(wordEnd);
    if (!rest.empty() && rest[0] == ':') rest.remove_prefix(1);
    return CutTo(Trim(rest), width);
  };
  if (word == "INTL" || word == "TOPT" || word == "FMPT") return std::nullopt;
  if (word == "PID") return Subfield{sub::kPid, value(kPidWidth)};
  if (word == "MSGID") return Subfield{sub::kMsgId, value(kIdWidth)};
  if (word == "REPLY") return Subfield{sub::kReply, value(kIdWidth)};
  if (word == "PATH") return Subfield{sub::kPath, value(std::string::npos)};
  return Subfield{sub::kKludge, Trim(kludge)};
}

std::vector<Subfield> LeadingSubfields(std::string_view fromName, const NetAddress& orig,
                                       std::string_view toName, const NetAddress& dest,
                                       std::string_view subject, bool fileRequest) {
  std::vector<Subfield> subfields;
  if (!fromName.empty()) subfields.push_back({sub::kFromName, std::string(fromName)});
  if (!orig.IsEmpty()) subfields.push_back({sub::kOrigAddress, FormatNetAddress(orig)});
  if (!toName.empty()) subfields.push_back({sub::kToName, std::string(toName)});
  if (!dest.IsEmpty()) subfields.push_back({sub::kDestAddress, FormatNetAddress(dest)});
  if (!subject.empty())
    subfields.push_back({fileRequest ? sub::kRequestedFiles : sub::kSubject, std::string(subject)});
  return subfields;
}

}  // namespace vm::jam
