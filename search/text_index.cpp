#include "search/text_index.h"

#include <dirent.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <map>
#include <system_error>
#include <unordered_map>

#include "platform/app_error.h"
#include "platform/directories.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "platform/unique_fd.h"
#include "search/index_text.h"
#include "search/search_texts.h"
#include "store/store_layout.h"
#include "store/stored_message.h"

namespace plumex {
namespace {

constexpr int kSchemaVersion = 1;
// Files indexed between two commits of a long update: a stop or a crash loses at most these.
constexpr size_t kFilesPerCommit = 2000;
// A directory changed this recently may change again within the same tick of the file
// system's clock without its time moving: it is listed again next time.
constexpr long long kRacyNs = 2'000'000'000LL;
// Rows of deleted messages stay in the contentless text table; once they are this many and
// outnumber the messages, the index is built anew so that it neither grows without end nor
// proposes ever more dead candidates.
constexpr long long kStaleRowsToShed = 1000;


AppError IndexFileError(const std::filesystem::path& file, const char* what) {
  return AppError(ErrorKind::LocalFile, Sjis(texts::kIndexFileError) + DisplayPath(file) + " (" + what + ")");
}

class Stmt {
 public:
  Stmt(sqlite3* db, const char* sql) : db_(db) {
    Check(sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr));
  }
  ~Stmt() { sqlite3_finalize(stmt_); }
  Stmt(const Stmt&) = delete;
  Stmt& operator=(const Stmt&) = delete;

  Stmt& Bind(int i, long long v) {
    Check(sqlite3_bind_int64(stmt_, i, v));
    return *this;
  }
  Stmt& Bind(int i, std::string_view v) {
    Check(sqlite3_bind_blob(stmt_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT));
    return *this;
  }
  Stmt& BindText(int i, std::string_view v) {
    Check(sqlite3_bind_text(stmt_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT));
    return *this;
  }
  // True while there is a row.
  bool Step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    Check(rc);
    return false;
  }
  void Run() {
    while (Step()) {
    }
    Reset();
  }
  void Reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }
  long long Int(int col) const { return sqlite3_column_int64(stmt_, col); }
  std::string Str(int col) const {
    const void* p = sqlite3_column_blob(stmt_, col);
    int n = sqlite3_column_bytes(stmt_, col);
    return p ? std::string(static_cast<const char*>(p), static_cast<size_t>(n)) : std::string();
  }

 private:
  void Check(int rc) {
    if (rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE) return;
    const int primary = rc & 0xFF;
    if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB)
      throw IndexDamaged(Sjis(texts::kIndexDamaged) + DisplayPath(sqlite3_db_filename(db_, "main")));
    throw AppError(ErrorKind::LocalFile, Sjis(texts::kIndexFileError) + sqlite3_db_filename(db_, "main") +
                                             " (" + sqlite3_errmsg(db_) + ")");
  }
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

void Exec(sqlite3* db, const char* sql) { Stmt(db, sql).Run(); }

std::string Meta(sqlite3* db, const char* key) {
  Stmt s(db, "SELECT value FROM meta WHERE key = ?");
  s.BindText(1, key);
  return s.Step() ? s.Str(0) : std::string();
}

void SetMeta(sqlite3* db, const char* key, std::string_view value) {
  Stmt(db, "INSERT OR REPLACE INTO meta(key, value) VALUES(?, ?)").BindText(1, key).BindText(2, value).Run();
}

// Rows of messages gone that the text table still holds.
long long StaleRows(sqlite3* db) { return std::atoll(Meta(db, "stale").c_str()); }

class Transaction {
 public:
  explicit Transaction(sqlite3* db) : db_(db) { Exec(db_, "BEGIN IMMEDIATE"); }
  ~Transaction() {
    if (open_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  void Commit() {
    Exec(db_, "COMMIT");
    open_ = false;
  }

 private:
  sqlite3* db_;
  bool open_ = true;
};

std::filesystem::path CacheBase() {
  if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg == '/') return xdg;
  if (const char* home = std::getenv("HOME"); home && *home) return std::filesystem::path(home) / ".cache";
  return std::filesystem::temp_directory_path();
}

std::string RootKey(const std::filesystem::path& mail_root) {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::weakly_canonical(std::filesystem::absolute(mail_root), ec);
  if (ec) p = std::filesystem::absolute(mail_root).lexically_normal();
  return p.string();
}

void RemoveIndexFiles(const std::filesystem::path& file) {
  std::error_code ec;
  for (const char* suffix : {"", "-wal", "-shm", "-journal"})
    std::filesystem::remove(file.string() + suffix, ec);
}

sqlite3* OpenDatabase(const std::filesystem::path& file, bool create) {
  if (create) {
    EnsureDirectory(file.parent_path());
    ::chmod(file.parent_path().c_str(), 0700);
    // SQLite gives its journal files the mode of the database file.
    UniqueFd fd(::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!fd) throw IndexFileError(file, "open");
    ::fchmod(fd.get(), 0600);
  }
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return nullptr;
  }
  sqlite3_busy_timeout(db, 10000);
  return db;
}

long long MtimeNs(const struct stat& st) {
  return static_cast<long long>(st.st_mtim.tv_sec) * 1'000'000'000LL + st.st_mtim.tv_nsec;
}

long long NowNs() {
  struct timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  return static_cast<long long>(ts.tv_sec) * 1'000'000'000LL + ts.tv_nsec;
}

bool EndsWithTxt(const std::string& name) {
  return name.size() > 4 && name.compare(name.size() - 4, 4, ".txt") == 0;
}

struct FolderRow {
  long long id = 0;
  std::string dir;
  std::string store;
  long long mtime = -1;
};

struct Listing {
  std::vector<std::string> subdirs;
  std::vector<std::pair<std::string, long long>> files;  // native name, inode
};

// The directory's subfolders (never "Attachment") and message files, as the extraction walk
// tells them apart.
Listing ListDirectory(const std::filesystem::path& dir) {
  Listing listing;
  DIR* d = ::opendir(dir.c_str());
  if (!d) return listing;
  while (struct dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    bool is_dir = e->d_type == DT_DIR;
    if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
      struct stat st;
      is_dir = ::stat((dir / name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    if (is_dir) {
      if (name != kAttachmentDirName) listing.subdirs.push_back(std::move(name));
    } else if (EndsWithTxt(name)) {
      listing.files.emplace_back(std::move(name), static_cast<long long>(e->d_ino));
    }
  }
  ::closedir(d);
  return listing;
}

struct HeaderValues {
  std::string message_id, references, in_reply_to;
};

// The pseudo-header values the conversations need, read up to the separator line.
HeaderValues ReadHeaderValues(std::string_view text) {
  HeaderValues values;
  bool have_id = false, have_refs = false, have_irt = false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (line == kStoredMessageSeparator) break;
    auto take = [&](std::string_view key, std::string& out, bool& have) {
      if (!have && line.size() >= key.size() && line.substr(0, key.size()) == key) {
        out = std::string(line.substr(key.size()));
        have = true;
      }
    };
    take("Message-ID:", values.message_id, have_id);
    take("References:", values.references, have_refs);
    take("In-Reply-To:", values.in_reply_to, have_irt);
    start = end + 1;
    if (start < text.size() && text[end] == '\r' && text[start] == '\n') ++start;
  }
  return values;
}

// The native directory (below root, "/"-joined, trailing "/") of a store folder path.
std::string NativeDirOf(const std::filesystem::path& root, const std::string& folder) {
  std::string rel = ToNativePath(root, folder).lexically_relative(root).generic_string();
  if (rel == "." || rel.empty()) return std::string();
  if (rel.back() != '/') rel += '/';
  return rel;
}

std::vector<std::string> SplitDir(const std::string& dir, const std::string& name) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start < dir.size()) {
    size_t slash = dir.find('/', start);
    parts.push_back(dir.substr(start, slash - start));
    start = slash + 1;
  }
  parts.push_back(name);
  return parts;
}

}  // namespace

TextIndex::TextIndex(sqlite3* db, std::filesystem::path root) : db_(db), root_(std::move(root)) {}

TextIndex::~TextIndex() { sqlite3_close(db_); }

std::filesystem::path TextIndex::FileFor(const std::filesystem::path& mail_root) {
  // FNV-1a of the store's path: the same store always finds the same index.
  std::uint64_t h = 0xcbf29ce484222325ULL;
  for (unsigned char c : RootKey(mail_root)) {
    h ^= c;
    h *= 0x100000001b3ULL;
  }
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
  return CacheBase() / "plumex" / "index" / hex / "text.db";
}

bool TextIndex::Covers(const std::string& folder) {
  for (const std::string* top : {&ReceiveRootName(), &SendRootName()}) {
    const std::string prefix = *top + "\\";
    if (folder.compare(0, prefix.size(), prefix) == 0) return true;
  }
  return false;
}

std::unique_ptr<TextIndex> TextIndex::Create(const std::filesystem::path& mail_root,
                                             const std::filesystem::path& file) {
  RemoveIndexFiles(file);
  sqlite3* db = OpenDatabase(file, true);
  if (!db) throw IndexFileError(file, "open");
  std::unique_ptr<TextIndex> index(new TextIndex(db, mail_root));
  try {
    Exec(db, "PRAGMA journal_mode=WAL");
    Exec(db, "PRAGMA synchronous=NORMAL");
    Transaction t(db);
    Exec(db, "CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT)");
    Exec(db, "CREATE TABLE folder(id INTEGER PRIMARY KEY, dir BLOB NOT NULL UNIQUE, store BLOB NOT NULL, "
             "mtime INTEGER NOT NULL)");
    Exec(db, "CREATE TABLE message(id INTEGER PRIMARY KEY AUTOINCREMENT, folder INTEGER NOT NULL, "
             "name BLOB NOT NULL, ino INTEGER NOT NULL, message_id BLOB, refs BLOB, in_reply_to BLOB, "
             "UNIQUE(folder, name))");
    Exec(db, "CREATE VIRTUAL TABLE body USING fts5(text, tokenize='trigram', content='', detail='none', "
             "columnsize=0)");
    Exec(db, ("PRAGMA user_version=" + std::to_string(kSchemaVersion)).c_str());
    SetMeta(db, "root", RootKey(mail_root));
    SetMeta(db, "state", "building");
    SetMeta(db, "stale", "0");
    t.Commit();
  } catch (const IndexDamaged&) {
    throw IndexFileError(file, "create");
  }
  return index;
}

namespace {

enum class Soundness { Missing, Ready, Unfinished, Damaged };

// Opens the file and tells what it holds.
Soundness Examine(const std::filesystem::path& mail_root, const std::filesystem::path& file, sqlite3*& db) {
  db = nullptr;
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return Soundness::Missing;
  db = OpenDatabase(file, false);
  if (!db) return Soundness::Damaged;
  try {
    Exec(db, "PRAGMA synchronous=NORMAL");
    Stmt version(db, "PRAGMA user_version");
    if (!version.Step() || version.Int(0) != kSchemaVersion) return Soundness::Damaged;
    if (Meta(db, "root") != RootKey(mail_root)) return Soundness::Damaged;
    const std::string state = Meta(db, "state");
    if (state == "ready") return Soundness::Ready;
    if (state != "building") return Soundness::Damaged;
    // A build that never reached its end, maybe killed: kept only when SQLite finds it sound.
    Stmt check(db, "PRAGMA quick_check");
    if (!check.Step() || check.Str(0) != "ok") return Soundness::Damaged;
    return Soundness::Unfinished;
  } catch (const IndexDamaged&) {
    return Soundness::Damaged;
  } catch (...) {
    sqlite3_close(db);
    db = nullptr;
    throw;
  }
}

bool TooManyStaleRows(sqlite3* db) {
  const long long stale = StaleRows(db);
  if (stale < kStaleRowsToShed) return false;
  Stmt messages(db, "SELECT count(*) FROM message");
  return messages.Step() && stale > messages.Int(0);
}

}  // namespace

std::unique_ptr<TextIndex> TextIndex::OpenExisting(const std::filesystem::path& mail_root) {
  const auto file = FileFor(mail_root);
  sqlite3* db = nullptr;
  Soundness s = Examine(mail_root, file, db);
  if (s == Soundness::Ready) return std::unique_ptr<TextIndex>(new TextIndex(db, mail_root));
  sqlite3_close(db);
  if (s == Soundness::Damaged) RemoveIndexFiles(file);
  return nullptr;
}

std::unique_ptr<TextIndex> TextIndex::OpenOrBuild(const std::filesystem::path& mail_root, UiPort& ui,
                                                  const bool& stop_requested, std::chrono::milliseconds pump_interval) {
  const auto file = FileFor(mail_root);
  sqlite3* db = nullptr;
  Soundness s = Examine(mail_root, file, db);
  if (s == Soundness::Ready && TooManyStaleRows(db)) {
    sqlite3_close(db);
    db = nullptr;
    RemoveIndexFiles(file);
    s = Soundness::Missing;
  }
  std::unique_ptr<TextIndex> index;
  if (s == Soundness::Ready || s == Soundness::Unfinished) {
    index.reset(new TextIndex(db, mail_root));
  } else {
    sqlite3_close(db);
    index = Create(mail_root, file);
  }
  try {
    if (!index->Update(ui, stop_requested, pump_interval)) return nullptr;
    if (s != Soundness::Ready) SetMeta(index->db_, "state", "ready");
  } catch (const IndexDamaged&) {
    index.reset();
    RemoveIndexFiles(file);
    return nullptr;
  }
  return index;
}

std::unique_ptr<TextIndex> TextIndex::Rebuild(const std::filesystem::path& mail_root, UiPort& ui,
                                              const bool& stop_requested, std::chrono::milliseconds pump_interval) {
  RemoveIndexFiles(FileFor(mail_root));
  return OpenOrBuild(mail_root, ui, stop_requested, pump_interval);
}

IndexStatus TextIndex::Status(const std::filesystem::path& mail_root) {
  IndexStatus status;
  status.file = FileFor(mail_root);
  sqlite3* db = nullptr;
  Soundness s = Examine(mail_root, status.file, db);
  status.exists = s != Soundness::Missing;
  status.ready = s == Soundness::Ready;
  if (db && s != Soundness::Damaged) {
    try {
      Stmt m(db, "SELECT count(*) FROM message");
      if (m.Step()) status.messages = m.Int(0);
      Stmt f(db, "SELECT count(*) FROM folder");
      if (f.Step()) status.folders = f.Int(0);
      status.stale = StaleRows(db);
    } catch (const IndexDamaged&) {
      status.ready = false;
    }
  }
  sqlite3_close(db);
  std::error_code ec;
  for (const char* suffix : {"", "-wal"}) {
    auto size = std::filesystem::file_size(status.file.string() + suffix, ec);
    if (!ec) status.bytes += size;
  }
  return status;
}

bool TextIndex::Refresh(UiPort& ui, const bool& stop_requested, std::chrono::milliseconds pump_interval) {
  return Update(ui, stop_requested, pump_interval);
}

void TextIndex::Discard(const std::filesystem::path& mail_root) { RemoveIndexFiles(FileFor(mail_root)); }

bool TextIndex::Update(UiPort& ui, const bool& stop_requested, std::chrono::milliseconds pump_interval) {
  // Which folders changed: a stat per folder directory, nothing more when none did.
  std::vector<FolderRow> folders;
  {
    Stmt s(db_, "SELECT id, dir, store, mtime FROM folder");
    while (s.Step()) folders.push_back({s.Int(0), s.Str(1), s.Str(2), s.Int(3)});
  }
  std::vector<FolderRow> changed, gone;
  for (const FolderRow& f : folders) {
    struct stat st;
    if (::stat((root_ / f.dir).c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) gone.push_back(f);
    else if (MtimeNs(st) != f.mtime) changed.push_back(f);
  }
  for (const std::string* top : {&ReceiveRootName(), &SendRootName()}) {
    const std::string dir = NativeName(*top) + "/";
    bool known = std::any_of(folders.begin(), folders.end(), [&](const FolderRow& f) { return f.dir == dir; });
    struct stat st;
    if (!known && ::stat((root_ / dir).c_str(), &st) == 0 && S_ISDIR(st.st_mode))
      changed.push_back({0, dir, *top + "\\", -1});
  }
  if (changed.empty() && gone.empty()) return true;

  WalkPacer pacer(ui, stop_requested, pump_interval);
  auto transaction = std::make_unique<Transaction>(db_);
  Stmt add_folder(db_, "INSERT OR IGNORE INTO folder(dir, store, mtime) VALUES(?, ?, -1)");
  Stmt folder_id(db_, "SELECT id FROM folder WHERE dir = ?");
  Stmt rows_of(db_, "SELECT id, name, ino FROM message WHERE folder = ?");

  struct Vanished {
    long long id;
    bool taken = false;
  };
  std::unordered_map<long long, std::vector<Vanished>> vanished;  // inode -> message rows
  struct NewFile {
    long long folder;
    std::string name;
    long long ino;
    std::filesystem::path path;
  };
  std::vector<NewFile> new_files;
  std::map<long long, long long> folder_mtimes;  // to write once their files are in

  auto collect_rows = [&](long long folder, const std::vector<std::pair<std::string, long long>>* files) {
    std::map<std::string, long long> on_disk;
    if (files)
      for (const auto& [name, ino] : *files) on_disk.emplace(name, ino);
    std::map<std::string, long long> known;
    rows_of.Bind(1, folder);
    while (rows_of.Step()) {
      const std::string name = rows_of.Str(1);
      const long long ino = rows_of.Int(2);
      auto it = on_disk.find(name);
      if (it != on_disk.end() && it->second == ino) known.emplace(name, ino);
      else vanished[ino].push_back({rows_of.Int(0)});
    }
    rows_of.Reset();
    return known;
  };

  std::vector<FolderRow> queue = changed;
  while (!queue.empty()) {
    FolderRow f = std::move(queue.back());
    queue.pop_back();
    if (pacer.Stop(0, 0)) return false;
    const auto path = root_ / f.dir;
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) continue;
    const long long started = NowNs();
    Listing listing = ListDirectory(path);
    if (f.id == 0) {
      add_folder.Bind(1, f.dir).Bind(2, f.store).Run();
      folder_id.Bind(1, f.dir);
      if (folder_id.Step()) f.id = folder_id.Int(0);
      folder_id.Reset();
    }
    for (const std::string& sub : listing.subdirs) {
      const std::string dir = f.dir + sub + "/";
      folder_id.Bind(1, dir);
      const bool known = folder_id.Step();
      folder_id.Reset();
      if (!known) queue.push_back({0, dir, f.store + StoreName(sub) + "\\", -1});
    }
    const auto known = collect_rows(f.id, &listing.files);
    for (auto& [name, ino] : listing.files)
      if (!known.count(name)) new_files.push_back({f.id, name, ino, path / name});
    folder_mtimes[f.id] = MtimeNs(st) > started - kRacyNs ? -1 : MtimeNs(st);
  }
  for (const FolderRow& f : gone) {
    collect_rows(f.id, nullptr);
    Stmt(db_, "DELETE FROM folder WHERE id = ?").Bind(1, f.id).Run();
  }

  // A file that left one folder for another kept its inode: its row follows it.
  Stmt remove_row(db_, "DELETE FROM message WHERE id = ?");
  Stmt move_row(db_, "UPDATE OR REPLACE message SET folder = ?, name = ? WHERE id = ?");
  std::vector<NewFile> to_read;
  for (NewFile& n : new_files) {
    auto it = vanished.find(n.ino);
    Vanished* match = nullptr;
    if (it != vanished.end())
      for (Vanished& v : it->second)
        if (!v.taken) match = &v;
    if (match) {
      match->taken = true;
      move_row.Bind(1, n.folder).Bind(2, n.name).Bind(3, match->id).Run();
    } else {
      to_read.push_back(std::move(n));
    }
  }
  long long stale = 0;
  for (auto& [ino, rows] : vanished)
    for (const Vanished& v : rows)
      if (!v.taken) {
        remove_row.Bind(1, v.id).Run();
        ++stale;
      }
  if (stale) SetMeta(db_, "stale", std::to_string(StaleRows(db_) + stale));

  // The files not seen before are read and indexed, a commit every so many so that a long
  // build keeps what it did; a folder counts as listed once all of its files are in.
  std::map<long long, size_t> left_in_folder;
  for (const NewFile& n : to_read) ++left_in_folder[n.folder];
  Stmt set_mtime(db_, "UPDATE folder SET mtime = ? WHERE id = ?");
  auto folder_done = [&](long long id) {
    auto it = folder_mtimes.find(id);
    if (it != folder_mtimes.end()) set_mtime.Bind(1, it->second).Bind(2, id).Run();
  };
  for (const auto& [id, mtime] : folder_mtimes)
    if (!left_in_folder.count(id)) folder_done(id);
  Stmt add_row(db_, "INSERT OR IGNORE INTO message(folder, name, ino, message_id, refs, in_reply_to) "
                    "VALUES(?, ?, ?, ?, ?, ?)");
  Stmt add_text(db_, "INSERT INTO body(rowid, text) VALUES(?, ?)");
  const int total = static_cast<int>(std::min<size_t>(to_read.size(), 0x7FFFFFFF));
  std::string text;
  for (size_t i = 0; i < to_read.size(); ++i) {
    if (pacer.Stop(static_cast<int>(i), total)) {
      transaction->Commit();
      return false;
    }
    if (i > 0 && i % kFilesPerCommit == 0) {
      transaction->Commit();
      transaction = std::make_unique<Transaction>(db_);
    }
    const NewFile& n = to_read[i];
    if (!ReadIndexedFile(n.path, text)) text.clear();
    HeaderValues values = ReadHeaderValues(text);
    add_row.Bind(1, n.folder).Bind(2, n.name).Bind(3, n.ino).Bind(4, values.message_id).Bind(5, values.references);
    add_row.Bind(6, values.in_reply_to).Run();
    if (sqlite3_changes(db_) == 1) {
      add_text.Bind(1, static_cast<long long>(sqlite3_last_insert_rowid(db_))).BindText(2, IndexText(text)).Run();
    }
    if (--left_in_folder[n.folder] == 0) folder_done(n.folder);
  }
  if (total > 0) ui.SetProgress(total, total);
  transaction->Commit();
  return true;
}

std::optional<std::vector<IndexCandidate>> TextIndex::Candidates(const std::string& folder, const std::string& key) {
  auto trigrams = KeyTrigrams(key);
  if (!trigrams) return std::nullopt;
  const std::string prefix = NativeDirOf(root_, folder);
  std::vector<IndexCandidate> found;
  Stmt s(db_, "SELECT f.dir, f.store, m.name FROM body JOIN message m ON m.id = body.rowid "
              "JOIN folder f ON f.id = m.folder WHERE body MATCH ?");
  s.BindText(1, TrigramQuery(*trigrams));
  while (s.Step()) {
    std::string dir = s.Str(0);
    if (dir.compare(0, prefix.size(), prefix) != 0) continue;
    std::string name = s.Str(2);
    IndexCandidate c;
    c.file = root_ / dir / name;
    c.folder = s.Str(1);
    c.order = SplitDir(dir, name);
    found.push_back(std::move(c));
  }
  std::sort(found.begin(), found.end(),
            [](const IndexCandidate& a, const IndexCandidate& b) { return a.order < b.order; });
  return found;
}

std::vector<std::pair<std::string, MessageReferences>> TextIndex::ReferencesOf(const std::string& folder) {
  std::vector<std::pair<std::string, MessageReferences>> out;
  Stmt s(db_, "SELECT m.message_id, m.refs, m.in_reply_to FROM message m JOIN folder f ON f.id = m.folder "
              "WHERE f.dir = ?");
  s.Bind(1, NativeDirOf(root_, folder));
  while (s.Step()) out.push_back({s.Str(0), {s.Str(1), s.Str(2)}});
  return out;
}

}  // namespace plumex
