#pragma once
// The backup repository through libgit2: opened (or made, when missing or an empty folder)
// without searching the folders above, files of a stored version read by path, a new
// version committed from the one before with some files replaced, the log, and a push.
// Every failure comes back as a message naming the repository; nothing here prints.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct git_repository;

namespace qavix::history {

// One file of a new version: its path from the top ("line-7/current.qbk") and its bytes,
// or no bytes to remove it.
struct FileUpdate {
    std::string path;
    std::optional<std::string> bytes;
};

struct Signature {
    std::string name;
    std::string email;
};

struct CommitInfo {
    std::string id;        // 40 hexadecimal digits
    std::string parentId;  // empty for the first commit
    int64_t time = 0;      // seconds since the epoch
    int offsetMinutes = 0;
    std::string message;
};

class GitRepository {
  public:
    // An existing repository at exactly `path`, or one made there when `path` is missing or
    // an empty folder (a new one is not bare and starts on branch main). Nothing, with the
    // reason in `error`, for a folder that holds something else or a damaged repository.
    static std::unique_ptr<GitRepository> openOrCreate(const std::string& path, std::string& error);
    // An existing repository only.
    static std::unique_ptr<GitRepository> open(const std::string& path, std::string& error);

    ~GitRepository();
    GitRepository(const GitRepository&) = delete;
    GitRepository& operator=(const GitRepository&) = delete;

    const std::string& path() const { return m_path; }

    // Why a commit cannot be made now (another git process holds a lock), or empty.
    std::string lockProblem() const;

    // The commit HEAD names; empty for a repository without commits.
    std::optional<std::string> head(std::string& error) const;
    // The commit a revision names (an id, a prefix of one, HEAD~2, a branch or tag).
    std::optional<std::string> resolve(const std::string& revision, std::string& error) const;

    // The files directly in `folder` of commit `commitId`, by name. Empty when the folder
    // is not there; nothing on a damaged repository.
    std::optional<std::map<std::string, std::string>> folderFiles(const std::string& commitId,
                                                                  const std::string& folder,
                                                                  std::string& error) const;
    // The folders at the top of `commitId` whose contents differ from `parentId`'s (every
    // folder for the first commit).
    std::optional<std::vector<std::string>> changedFolders(const std::string& commitId,
                                                           const std::string& parentId,
                                                           std::string& error) const;

    // A new commit on the branch HEAD names, with `updates` applied to HEAD's files; the
    // index and the files of a working tree follow. Its id, or nothing with the reason.
    std::optional<std::string> commit(const std::vector<FileUpdate>& updates,
                                      const std::string& message, const Signature& author,
                                      std::string& error);

    // The commits from HEAD back along first parents, newest first.
    std::optional<std::vector<CommitInfo>> log(std::string& error) const;

    // Pushes the branch HEAD names to `remote` (a remote of the repository's configuration).
    bool push(const std::string& remote, std::string& error);

  private:
    GitRepository(git_repository* repo, std::string path);

    std::string failure(const std::string& what) const;

    git_repository* m_repo = nullptr;
    std::string m_path;
};

}  // namespace qavix::history
