#include "world/manifest.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>

namespace ombrivale {
namespace {

using CrcTables = std::array<std::array<uint32_t, 256>, 8>;

// Table k gives the CRC of a byte followed by k zero bytes, so eight bytes
// are folded in one step (slicing by eight).
constexpr CrcTables MakeCrcTables() {
  CrcTables tables{};
  for (uint32_t byte = 0; byte < 256; ++byte) {
    uint32_t crc = byte;
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc >> 1) ^ ((crc & 1u) != 0 ? 0xEDB88320u : 0u);
    tables[0][byte] = crc;
  }
  for (size_t k = 1; k < 8; ++k) {
    for (size_t byte = 0; byte < 256; ++byte) {
      const uint32_t before = tables[k - 1][byte];
      tables[k][byte] = (before >> 8) ^ tables[0][before & 0xFFu];
    }
  }
  return tables;
}
constexpr CrcTables kCrcTables = MakeCrcTables();

uint32_t LoadLittleEndian(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

constexpr char kHexDigits[] = "0123456789abcdef";

void AppendHex(std::string& out, uint32_t value) {
  char digits[8];
  for (int i = 7; i >= 0; --i, value >>= 4)
    digits[i] = kHexDigits[value & 0xFu];
  out.append(digits, 8);
}

template <typename Number>
void AppendDecimal(std::string& out, Number value) {
  char digits[24];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// Eight lowercase hex digits and nothing else.
bool ReadHex(std::string_view text, uint32_t& value) {
  if (text.size() != 8) return false;
  value = 0;
  for (const char c : text) {
    const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (digit < 0) return false;
    value = value << 4 | static_cast<uint32_t>(digit);
  }
  return true;
}

// A decimal number as NumberText writes it ("0", "-12"; no blank, no "+",
// no leading zero, no "-0") within [low, high]: 0 or a format error.
template <typename Number>
int ReadDecimal(std::string_view text, Number low, Number high, Number& value) {
  const bool negative = !text.empty() && text[0] == '-';
  const std::string_view digits = text.substr(negative ? 1 : 0);
  if (digits.empty() || digits[0] < '0' || digits[0] > '9') return kErrorNotNumber;
  if (digits[0] == '0' && (digits.size() > 1 || negative)) return kErrorNotNumber;
  Number read{};
  const auto result = std::from_chars(text.data(), text.data() + text.size(), read);
  if (result.ec == std::errc::result_out_of_range) return kErrorOutOfRange;
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return kErrorNotNumber;
  if (read < low || read > high) return kErrorOutOfRange;
  value = read;
  return 0;
}

bool IsPlainName(std::string_view name) {
  if (name.empty() || name.size() > 255 || name == "." || name == "..") return false;
  return std::none_of(name.begin(), name.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= ' ' || byte == '/' || byte == 0x7F;
  });
}

// Walks the text a CR LF line at a time; a line without both is an error.
class ManifestLines {
 public:
  explicit ManifestLines(std::string_view text) : text_(text) {}

  int lineNumber() const { return line_; }
  size_t offset() const { return pos_; }
  bool AtEnd() const { return pos_ == text_.size(); }

  // The next line without its CR LF; false when there is no whole line.
  bool Next(std::string_view& line) {
    ++line_;
    if (pos_ == text_.size()) return false;
    const size_t end = text_.find("\r\n", pos_);
    if (end == std::string_view::npos) return false;
    line = text_.substr(pos_, end - pos_);
    pos_ = end + 2;
    return true;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
  int line_ = 0;
};

}  // namespace

uint32_t Crc32(std::string_view bytes, uint32_t crc) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  size_t left = bytes.size();
  crc = ~crc;
  const auto& t = kCrcTables;
  for (; left >= 8; p += 8, left -= 8) {
    const uint32_t low = LoadLittleEndian(p) ^ crc;
    const uint32_t high = LoadLittleEndian(p + 4);
    crc = t[7][low & 0xFFu] ^ t[6][(low >> 8) & 0xFFu] ^ t[5][(low >> 16) & 0xFFu] ^
          t[4][low >> 24] ^ t[3][high & 0xFFu] ^ t[2][(high >> 8) & 0xFFu] ^
          t[1][(high >> 16) & 0xFFu] ^ t[0][high >> 24];
  }
  for (; left > 0; ++p, --left)
    crc = (crc >> 8) ^ t[0][(crc ^ *p) & 0xFFu];
  return ~crc;
}

void ManifestText(const Manifest& manifest, std::string& out) {
  out.clear();
  const auto end = [&out] { out += "\r\n"; };
  AppendDecimal(out, manifest.sequence), end();
  AppendDecimal(out, manifest.year), end();
  AppendDecimal(out, manifest.month), end();
  AppendDecimal(out, manifest.files.size()), end();
  for (const ManifestEntry& file : manifest.files) {
    out += file.name;
    out += ' ';
    AppendDecimal(out, file.size);
    out += ' ';
    AppendHex(out, file.crc);
    end();
  }
  AppendHex(out, Crc32(out));
  end();
}

Status ParseManifest(std::string_view text, Manifest& manifest) {
  ManifestLines lines(text);
  std::string_view line;
  const auto fail = [&lines](int number) { return FormatError(number, lines.lineNumber()); };
  // The next line as a number of its field.
  const auto number = [&](auto low, auto high, auto& value) {
    if (!lines.Next(line)) return kErrorPastEnd;
    return ReadDecimal(line, low, high, value);
  };
  Manifest read;
  uint64_t count = 0;
  int error = number(uint64_t{0}, std::numeric_limits<uint64_t>::max(), read.sequence);
  if (error == 0) {
    error =
        number(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), read.year);
  }
  if (error == 0) {
    error = number(std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max(),
                   read.month);
  }
  if (error == 0) error = number(uint64_t{0}, std::numeric_limits<uint64_t>::max(), count);
  if (error != 0) return fail(error);
  // Each entry takes at least 13 bytes ("a 0 00000000" and its line end): a
  // count the rest cannot hold is a file cut short, found before any memory
  // is set aside for it.
  if (count > (text.size() - lines.offset()) / 13) return fail(kErrorPastEnd);
  read.files.reserve(static_cast<size_t>(count));
  for (uint64_t i = 0; i < count; ++i) {
    if (!lines.Next(line)) return fail(kErrorPastEnd);
    const size_t first = line.find(' ');
    const size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
    if (second == std::string_view::npos) return fail(kErrorBadManifest);
    ManifestEntry entry;
    entry.name = line.substr(0, first);
    if (!IsPlainName(entry.name)) return fail(kErrorBadManifest);
    const std::string_view size = line.substr(first + 1, second - first - 1);
    if (const int sizeError =
            ReadDecimal(size, uint64_t{0}, std::numeric_limits<uint64_t>::max(), entry.size)) {
      return fail(sizeError);
    }
    if (!ReadHex(line.substr(second + 1), entry.crc)) return fail(kErrorBadManifest);
    read.files.push_back(std::move(entry));
  }
  // The checksum of everything above, and nothing after it.
  const size_t checked = lines.offset();
  uint32_t crc = 0;
  if (!lines.Next(line)) return fail(kErrorPastEnd);
  if (!ReadHex(line, crc) || !lines.AtEnd()) return fail(kErrorBadManifest);
  if (crc != Crc32(text.substr(0, checked))) return fail(kErrorBadManifest);
  const ManifestIndex index(read);
  for (const ManifestEntry& file : read.files) {
    if (index.Find(file.name) != &file) {  // listed twice: the lookup finds one of the two
      return FormatError(kErrorBadManifest, 5 + (&file - read.files.data()));
    }
  }
  manifest = std::move(read);
  return {};
}

ManifestIndex::ManifestIndex(const Manifest& manifest) {
  sorted_.reserve(manifest.files.size());
  for (const ManifestEntry& file : manifest.files)
    sorted_.push_back(&file);
  std::stable_sort(
      sorted_.begin(), sorted_.end(),
      [](const ManifestEntry* a, const ManifestEntry* b) { return a->name < b->name; });
}

const ManifestEntry* ManifestIndex::Find(std::string_view name) const {
  const auto at = std::lower_bound(
      sorted_.begin(), sorted_.end(), name,
      [](const ManifestEntry* entry, std::string_view key) { return entry->name < key; });
  return at != sorted_.end() && (*at)->name == name ? *at : nullptr;
}

Status CheckListedFile(const ManifestIndex& index, std::string_view name, std::string_view bytes) {
  const ManifestEntry* entry = index.Find(name);
  if (entry == nullptr) return FormatError(kErrorNotInManifest, 0);
  if (entry->size != bytes.size()) return FormatError(kErrorSizeDiffers, 0);
  if (entry->crc != Crc32(bytes)) return FormatError(kErrorChecksumDiffers, 0);
  return {};
}

}  // namespace ombrivale
