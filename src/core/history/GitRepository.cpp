#include "history/GitRepository.h"
#include "Translate.h"

#include <git2.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <mutex>

namespace qavix::history {

namespace {

namespace fs = std::filesystem;

void ensureLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { git_libgit2_init(); });
}

std::string lastError() {
    const git_error* e = git_error_last();
    return e != nullptr && e->message != nullptr ? e->message : "unknown libgit2 error";
}

template <typename T>
using Owned = std::unique_ptr<T, void (*)(T*)>;

template <typename T>
Owned<T> own(T* p, void (*release)(T*)) {
    return Owned<T>(p, release);
}

std::string hexId(const git_oid& oid) {
    char text[GIT_OID_HEXSZ + 1] = {};
    git_oid_tostr(text, sizeof text, &oid);
    return text;
}

bool parseId(const std::string& id, git_oid& oid) {
    return id.size() == GIT_OID_HEXSZ && git_oid_fromstr(&oid, id.c_str()) == 0;
}

bool isEmptyFolder(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec) &&
           fs::directory_iterator(path, ec) == fs::directory_iterator();
}

// What the callbacks of one push share through libgit2's one payload pointer.
struct PushPayload {
    std::string rejected;  // the remote refused the update, with its reason
    int credentialCalls = 0;
};

int pushReference(const char* refname, const char* status, void* payload) {
    if (status != nullptr) {
        static_cast<PushPayload*>(payload)->rejected = std::string(refname) + ": " + status;
    }
    return 0;
}

// A key from the SSH agent once; a second call means it was refused, and asking again
// would loop. Passwords are never asked for: a service has nobody to type them.
int credentials(git_credential** out, const char* /*url*/, const char* userFromUrl,
                unsigned int allowed, void* payload) {
    int& calls = static_cast<PushPayload*>(payload)->credentialCalls;
    if (calls++ > 0 || (allowed & GIT_CREDENTIAL_SSH_KEY) == 0) {
        return GIT_PASSTHROUGH;
    }
    return git_credential_ssh_key_from_agent(out, userFromUrl != nullptr ? userFromUrl : "git");
}

}  // namespace

GitRepository::GitRepository(git_repository* repo, std::string path)
    : m_repo(repo), m_path(std::move(path)) {}

GitRepository::~GitRepository() {
    git_repository_free(m_repo);
}

std::string GitRepository::failure(const std::string& what) const {
    return i18n::fill(QX_("%1: %2: %3"), {m_path, what, lastError()});
}

std::unique_ptr<GitRepository> GitRepository::open(const std::string& path, std::string& error) {
    ensureLibrary();
    git_repository* repo = nullptr;
    // Never the folders above: a repository that is missing must not become the one that
    // happens to hold the given folder.
    if (git_repository_open_ext(&repo, path.c_str(), GIT_REPOSITORY_OPEN_NO_SEARCH, nullptr) != 0) {
        std::error_code ec;
        if (!fs::exists(path, ec)) {
            error = i18n::fill(QX_("%1: リポジトリがありません"), {path});
        } else if (!fs::is_directory(path, ec)) {
            error = i18n::fill(QX_("%1: フォルダではありません"), {path});
        } else {
            error = i18n::fill(QX_("%1: git リポジトリではありません（%2）"), {path, lastError()});
        }
        return nullptr;
    }
    std::unique_ptr<GitRepository> opened(new GitRepository(repo, path));
    if (!opened->head(error)) {
        return nullptr;
    }
    return opened;
}

std::unique_ptr<GitRepository> GitRepository::openOrCreate(const std::string& path,
                                                           std::string& error) {
    ensureLibrary();
    std::error_code ec;
    if (fs::exists(path, ec) && !isEmptyFolder(path)) {
        return open(path, error);
    }
    git_repository_init_options options;
    git_repository_init_options_init(&options, GIT_REPOSITORY_INIT_OPTIONS_VERSION);
    options.flags = GIT_REPOSITORY_INIT_MKPATH | GIT_REPOSITORY_INIT_NO_REINIT;
    options.initial_head = "main";
    git_repository* repo = nullptr;
    if (git_repository_init_ext(&repo, path.c_str(), &options) != 0) {
        error = i18n::fill(QX_("%1: リポジトリを作れません: %2"), {path, lastError()});
        return nullptr;
    }
    return std::unique_ptr<GitRepository>(new GitRepository(repo, path));
}

std::string GitRepository::lockProblem() const {
    const fs::path gitDir = git_repository_path(m_repo);
    std::vector<fs::path> locks = {gitDir / "HEAD.lock"};
    if (!git_repository_is_bare(m_repo)) {
        locks.push_back(gitDir / "index.lock");
    }
    git_reference* headRef = nullptr;
    if (git_reference_lookup(&headRef, m_repo, "HEAD") == 0) {
        if (const char* branch = git_reference_symbolic_target(headRef)) {
            locks.push_back(gitDir / (std::string(branch) + ".lock"));
        }
        git_reference_free(headRef);
    }
    for (const fs::path& lock : locks) {
        std::error_code ec;
        if (fs::exists(lock, ec)) {
            return i18n::fill(QX_("%1: 別の git プロセスがロックしています（%2 があります。git "
                                  "コマンドが動いていないときに削除してください）"),
                              {m_path, lock.string()});
        }
    }
    return {};
}

std::optional<std::string> GitRepository::head(std::string& error) const {
    git_oid oid;
    const int found = git_reference_name_to_id(&oid, m_repo, "HEAD");
    if (found == GIT_ENOTFOUND || found == GIT_EUNBORNBRANCH) {
        return std::string();
    }
    if (found != 0) {
        error = failure(QX_("壊れています（HEAD を読めません）"));
        return std::nullopt;
    }
    git_commit* commit = nullptr;
    if (git_commit_lookup(&commit, m_repo, &oid) != 0) {
        error = failure(QX_("壊れています（最後のコミットを読めません）"));
        return std::nullopt;
    }
    git_tree* tree = nullptr;
    const int treeRead = git_commit_tree(&tree, commit);
    git_commit_free(commit);
    git_tree_free(tree);
    if (treeRead != 0) {
        error = failure(QX_("壊れています（最後のコミットのファイルを読めません）"));
        return std::nullopt;
    }
    return hexId(oid);
}

std::optional<std::string> GitRepository::resolve(const std::string& revision,
                                                  std::string& error) const {
    git_object* object = nullptr;
    if (git_revparse_single(&object, m_repo, revision.c_str()) != 0) {
        error = i18n::fill(QX_("%1: 版 \"%2\" がありません: %3"), {m_path, revision, lastError()});
        return std::nullopt;
    }
    git_object* peeled = nullptr;
    const int ok = git_object_peel(&peeled, object, GIT_OBJECT_COMMIT);
    git_object_free(object);
    if (ok != 0) {
        error = i18n::fill(QX_("%1: \"%2\" はコミットではありません"), {m_path, revision});
        return std::nullopt;
    }
    const std::string id = hexId(*git_object_id(peeled));
    git_object_free(peeled);
    return id;
}

std::optional<std::map<std::string, std::string>> GitRepository::folderFiles(
    const std::string& commitId, const std::string& folder, std::string& error) const {
    git_oid oid;
    git_commit* rawCommit = nullptr;
    if (!parseId(commitId, oid) || git_commit_lookup(&rawCommit, m_repo, &oid) != 0) {
        error = failure(i18n::fill(QX_("コミット %1 を読めません"), {commitId}));
        return std::nullopt;
    }
    auto commit = own(rawCommit, git_commit_free);
    git_tree* rawTree = nullptr;
    if (git_commit_tree(&rawTree, commit.get()) != 0) {
        error = failure(i18n::fill(QX_("%1 のファイルを読めません"), {commitId}));
        return std::nullopt;
    }
    auto tree = own(rawTree, git_tree_free);
    std::map<std::string, std::string> files;
    git_tree_entry* rawEntry = nullptr;
    const int found = git_tree_entry_bypath(&rawEntry, tree.get(), folder.c_str());
    if (found == GIT_ENOTFOUND) {
        return files;
    }
    if (found != 0) {
        error = failure(i18n::fill(QX_("%2 の %1 を読めません"), {folder, commitId}));
        return std::nullopt;
    }
    auto entry = own(rawEntry, git_tree_entry_free);
    if (git_tree_entry_type(entry.get()) != GIT_OBJECT_TREE) {
        return files;
    }
    git_tree* rawFolder = nullptr;
    if (git_tree_lookup(&rawFolder, m_repo, git_tree_entry_id(entry.get())) != 0) {
        error = failure(i18n::fill(QX_("%2 の %1 を読めません"), {folder, commitId}));
        return std::nullopt;
    }
    auto folderTree = own(rawFolder, git_tree_free);
    for (size_t i = 0; i < git_tree_entrycount(folderTree.get()); ++i) {
        const git_tree_entry* e = git_tree_entry_byindex(folderTree.get(), i);
        if (git_tree_entry_type(e) != GIT_OBJECT_BLOB) {
            continue;
        }
        git_blob* blob = nullptr;
        if (git_blob_lookup(&blob, m_repo, git_tree_entry_id(e)) != 0) {
            error = failure(
                i18n::fill(QX_("%1 を読めません"), {folder + "/" + git_tree_entry_name(e)}));
            return std::nullopt;
        }
        files[git_tree_entry_name(e)] =
            std::string(static_cast<const char*>(git_blob_rawcontent(blob)),
                        static_cast<size_t>(git_blob_rawsize(blob)));
        git_blob_free(blob);
    }
    return files;
}

std::optional<std::vector<std::string>> GitRepository::changedFolders(const std::string& commitId,
                                                                      const std::string& parentId,
                                                                      std::string& error) const {
    const auto rootOf = [&](const std::string& id) -> Owned<git_tree> {
        git_oid oid;
        git_commit* commit = nullptr;
        git_tree* tree = nullptr;
        if (parseId(id, oid) && git_commit_lookup(&commit, m_repo, &oid) == 0) {
            git_commit_tree(&tree, commit);
            git_commit_free(commit);
        }
        return own(tree, git_tree_free);
    };
    const Owned<git_tree> now = rootOf(commitId);
    Owned<git_tree> before = own<git_tree>(nullptr, git_tree_free);
    if (!parentId.empty()) {
        before = rootOf(parentId);
    }
    if (!now || (!parentId.empty() && !before)) {
        error = failure(i18n::fill(QX_("コミット %1 を読めません"), {commitId}));
        return std::nullopt;
    }
    std::vector<std::string> folders;
    const auto differs = [&](git_tree* a, git_tree* b) {
        for (size_t i = 0; i < git_tree_entrycount(a); ++i) {
            const git_tree_entry* e = git_tree_entry_byindex(a, i);
            if (git_tree_entry_type(e) != GIT_OBJECT_TREE) {
                continue;
            }
            const git_tree_entry* other =
                b != nullptr ? git_tree_entry_byname(b, git_tree_entry_name(e)) : nullptr;
            if (other == nullptr ||
                git_oid_cmp(git_tree_entry_id(e), git_tree_entry_id(other)) != 0) {
                const std::string name = git_tree_entry_name(e);
                if (std::find(folders.begin(), folders.end(), name) == folders.end()) {
                    folders.push_back(name);
                }
            }
        }
    };
    differs(now.get(), before.get());
    if (before) {
        differs(before.get(), now.get());
    }
    return folders;
}

std::optional<std::string> GitRepository::commit(const std::vector<FileUpdate>& updates,
                                                 const std::string& message,
                                                 const Signature& author, std::string& error) {
    if (const std::string locked = lockProblem(); !locked.empty()) {
        error = locked;
        return std::nullopt;
    }
    const std::optional<std::string> headId = head(error);
    if (!headId) {
        return std::nullopt;
    }
    auto parent = own<git_commit>(nullptr, git_commit_free);
    git_tree* rawBase = nullptr;
    if (!headId->empty()) {
        git_oid oid;
        git_commit* rawParent = nullptr;
        parseId(*headId, oid);
        if (git_commit_lookup(&rawParent, m_repo, &oid) != 0 ||
            git_commit_tree(&rawBase, rawParent) != 0) {
            git_commit_free(rawParent);
            error = failure(QX_("壊れています（最後のコミットを読めません）"));
            return std::nullopt;
        }
        parent.reset(rawParent);
    } else {
        git_treebuilder* builder = nullptr;
        git_oid emptyTree;
        const bool made = git_treebuilder_new(&builder, m_repo, nullptr) == 0 &&
                          git_treebuilder_write(&emptyTree, builder) == 0 &&
                          git_tree_lookup(&rawBase, m_repo, &emptyTree) == 0;
        git_treebuilder_free(builder);
        if (!made) {
            error = failure(QX_("書き込めません"));
            return std::nullopt;
        }
    }
    auto base = own(rawBase, git_tree_free);

    std::vector<FileUpdate> sorted = updates;
    std::sort(sorted.begin(), sorted.end(),
              [](const FileUpdate& a, const FileUpdate& b) { return a.path < b.path; });
    std::vector<git_tree_update> changes(sorted.size());
    for (size_t i = 0; i < sorted.size(); ++i) {
        changes[i].path = sorted[i].path.c_str();
        if (!sorted[i].bytes) {
            changes[i].action = GIT_TREE_UPDATE_REMOVE;
            continue;
        }
        changes[i].action = GIT_TREE_UPDATE_UPSERT;
        changes[i].filemode = GIT_FILEMODE_BLOB;
        if (git_blob_create_from_buffer(&changes[i].id, m_repo, sorted[i].bytes->data(),
                                        sorted[i].bytes->size()) != 0) {
            error = failure(QX_("書き込めません"));
            return std::nullopt;
        }
    }
    git_oid treeId;
    git_tree* rawTree = nullptr;
    if (git_tree_create_updated(&treeId, m_repo, base.get(), changes.size(), changes.data()) != 0 ||
        git_tree_lookup(&rawTree, m_repo, &treeId) != 0) {
        error = failure(QX_("書き込めません"));
        return std::nullopt;
    }
    auto tree = own(rawTree, git_tree_free);

    // The working tree and the index first: they take index.lock, so a git command at work
    // there stops the commit before the branch has moved.
    const bool worktree = !git_repository_is_bare(m_repo);
    git_checkout_options checkout;
    git_checkout_options_init(&checkout, GIT_CHECKOUT_OPTIONS_VERSION);
    checkout.checkout_strategy = GIT_CHECKOUT_FORCE;
    checkout.baseline = base.get();
    if (worktree &&
        git_checkout_tree(m_repo, reinterpret_cast<git_object*>(tree.get()), &checkout) != 0) {
        error = failure(QX_("作業ツリーを更新できません"));
        return std::nullopt;
    }
    git_signature* rawSignature = nullptr;
    if (git_signature_now(&rawSignature, author.name.c_str(), author.email.c_str()) != 0) {
        error = failure(i18n::fill(QX_("作成者 \"%1 <%2>\" が受け付けられません"),
                                   {author.name, author.email}));
        return std::nullopt;
    }
    auto signature = own(rawSignature, git_signature_free);
    const git_commit* parents[] = {parent.get()};
    git_oid commitId;
    if (git_commit_create(&commitId, m_repo, "HEAD", signature.get(), signature.get(), nullptr,
                          message.c_str(), tree.get(), parent ? 1 : 0, parents) != 0) {
        error = failure(QX_("コミットできません"));
        if (worktree) {
            // Back to the files of the branch, which did not move.
            checkout.baseline = tree.get();
            git_checkout_tree(m_repo, reinterpret_cast<git_object*>(base.get()), &checkout);
        }
        return std::nullopt;
    }
    return hexId(commitId);
}

std::optional<std::vector<CommitInfo>> GitRepository::log(std::string& error) const {
    std::vector<CommitInfo> commits;
    const std::optional<std::string> headId = head(error);
    if (!headId) {
        return std::nullopt;
    }
    if (headId->empty()) {
        return commits;
    }
    git_revwalk* rawWalk = nullptr;
    if (git_revwalk_new(&rawWalk, m_repo) != 0) {
        error = failure(QX_("履歴を読めません"));
        return std::nullopt;
    }
    auto walk = own(rawWalk, git_revwalk_free);
    git_revwalk_simplify_first_parent(walk.get());
    if (git_revwalk_push_head(walk.get()) != 0) {
        error = failure(QX_("履歴を読めません"));
        return std::nullopt;
    }
    git_oid oid;
    while (git_revwalk_next(&oid, walk.get()) == 0) {
        git_commit* commit = nullptr;
        if (git_commit_lookup(&commit, m_repo, &oid) != 0) {
            error = failure(i18n::fill(QX_("コミット %1 を読めません"), {hexId(oid)}));
            return std::nullopt;
        }
        CommitInfo info;
        info.id = hexId(oid);
        if (git_commit_parentcount(commit) > 0) {
            info.parentId = hexId(*git_commit_parent_id(commit, 0));
        }
        info.time = static_cast<int64_t>(git_commit_time(commit));
        info.offsetMinutes = git_commit_time_offset(commit);
        info.message = git_commit_message(commit) != nullptr ? git_commit_message(commit) : "";
        git_commit_free(commit);
        commits.push_back(std::move(info));
    }
    return commits;
}

bool GitRepository::push(const std::string& remoteName, std::string& error) {
    git_remote* rawRemote = nullptr;
    if (git_remote_lookup(&rawRemote, m_repo, remoteName.c_str()) != 0) {
        error = i18n::fill(QX_("%1: リモート \"%2\" がありません（git remote add %2 URL）"),
                           {m_path, remoteName});
        return false;
    }
    auto remote = own(rawRemote, git_remote_free);
    git_reference* rawHead = nullptr;
    if (git_repository_head(&rawHead, m_repo) != 0) {
        error = i18n::fill(QX_("%1: push するものがまだありません"), {m_path});
        return false;
    }
    auto headRef = own(rawHead, git_reference_free);
    const std::string branch = git_reference_name(headRef.get());
    std::string refspec = branch + ":" + branch;
    char* pushed[] = {refspec.data()};
    const git_strarray refspecs = {pushed, 1};
    PushPayload payload;
    git_push_options options;
    git_push_options_init(&options, GIT_PUSH_OPTIONS_VERSION);
    options.callbacks.push_update_reference = pushReference;
    options.callbacks.credentials = credentials;
    options.callbacks.payload = &payload;
    if (git_remote_push(remote.get(), &refspecs, &options) != 0) {
        error = i18n::fill(QX_("%1: %2 への push に失敗しました: %3"),
                           {m_path, remoteName, lastError()});
        return false;
    }
    if (!payload.rejected.empty()) {
        error = i18n::fill(QX_("%1: %2 への push が拒否されました: %3"),
                           {m_path, remoteName, payload.rejected});
        return false;
    }
    return true;
}

}  // namespace qavix::history
