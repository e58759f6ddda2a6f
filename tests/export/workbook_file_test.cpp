#include "export/workbook_file.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "export/export_names.h"

namespace tq::xls {
namespace {

namespace fs = std::filesystem;

// Names a Windows or FAT disk could not hold are refused as well, each with
// the reason named.
TEST(ExportNames, BaseNamesThatCannotStandInAFileNameAreRefused) {
    struct Case {
        std::string name;
        ExportFault fault;
        std::string explanation = {};
    };
    const std::vector<Case> cases = {
        {"Test", ExportFault::None},
        {"Run 3 (hot)", ExportFault::None},
        {"\xE9\x9B\xBB\xE5\xA3\x93", ExportFault::None},  // 電壓
        {"v1.2", ExportFault::None},
        {std::string(240, 'a'), ExportFault::None},
        {"", ExportFault::EmptyName},
        {"../up", ExportFault::ForbiddenCharacter},
        {"a\\b", ExportFault::ForbiddenCharacter},
        {"12:30", ExportFault::ForbiddenCharacter,
         "the file name must not contain ':' (nor any of \\ / : * ? \" < > |)"},
        {"a*", ExportFault::ForbiddenCharacter},
        {"why?", ExportFault::ForbiddenCharacter},
        {"\"q\"", ExportFault::ForbiddenCharacter},
        {"<a>", ExportFault::ForbiddenCharacter},
        {"a|b", ExportFault::ForbiddenCharacter},
        {"a\tb", ExportFault::ControlCharacter,
         "the file name must not contain control characters (U+0009)"},
        {std::string("a\0b", 3), ExportFault::ControlCharacter},
        {"a\x7F", ExportFault::ControlCharacter},
        {"a\xC2\x85", ExportFault::ControlCharacter,  // a C1 control
         "the file name must not contain control characters (U+0085)"},
        {".", ExportFault::LeadingDotOrBlank},
        {".hidden", ExportFault::LeadingDotOrBlank, "the file name must not begin with a dot"},
        {" run", ExportFault::LeadingDotOrBlank, "the file name must not begin with a blank"},
        {"run.", ExportFault::TrailingDotOrBlank, "the file name must not end with a dot"},
        {"run ", ExportFault::TrailingDotOrBlank},
        {std::string(241, 'a'), ExportFault::NameTooLong,
         "the file name is too long: at most 240 bytes, not 241"},
    };
    for (const Case& c : cases) {
        const NameCheck check = checkBaseName(c.name);
        EXPECT_EQ(check.fault, c.fault) << '"' << c.name << '"';
        EXPECT_EQ(check.explanation.empty(), c.fault == ExportFault::None) << '"' << c.name << '"';
        if (!c.explanation.empty()) {
            EXPECT_EQ(check.explanation, c.explanation);
        }
    }
    EXPECT_EQ(withoutWorkbookExtension("run.xls"), "run");
    EXPECT_EQ(withoutWorkbookExtension("run.XLS"), "run");
    EXPECT_EQ(withoutWorkbookExtension("run.xlsx"), "run.xlsx");
    EXPECT_EQ(withoutWorkbookExtension(".xls"), "");
}

TEST(ExportNames, NameIsBaseTimeOfDayAndCopyNumber) {
    EXPECT_EQ(timeStampText({9, 30, 15}), "093015");
    EXPECT_EQ(timeStampText({0, 0, 0}), "000000");
    EXPECT_EQ(timeStampText({23, 59, 59}), "235959");
    EXPECT_EQ(workbookPath("/data", "Test", "093015"), "/data/Test-093015.xls");
    EXPECT_EQ(workbookPath("/data/", "Test", "093015", 1), "/data/Test-093015.xls");
    EXPECT_EQ(workbookPath("/data", "Test", "093015", 2), "/data/Test-093015-2.xls");
    EXPECT_EQ(workbookPath("/", "T", "000000", 13), "/T-000000-13.xls");
}

TEST(ExportNames, FolderIsTheChosenOneOrTheFirstWritableCandidate) {
    const std::vector<std::string> candidates = {"/opt/tq4700", "/home/u/Documents", "/home/u"};
    auto only = [](std::set<std::string> ok) {
        return [ok](const std::string& f) { return ok.count(f) > 0; };
    };
    EXPECT_EQ(chooseExportFolder(std::nullopt, candidates, only({"/opt/tq4700", "/home/u"})),
              "/opt/tq4700");
    EXPECT_EQ(chooseExportFolder(std::nullopt, candidates, only({"/home/u"})), "/home/u");
    EXPECT_EQ(chooseExportFolder(std::nullopt, candidates, only({})), "/home/u");
    EXPECT_EQ(chooseExportFolder("/mnt/usb", candidates, only({"/opt/tq4700"})), "/mnt/usb");
    EXPECT_EQ(chooseExportFolder(std::nullopt, {}, only({})), "");
}

class WorkbookFile : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "tq4700-export-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        fs::permissions(dir_, fs::perms(0755));
    }
    void TearDown() override {
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir_);
    }

    std::set<std::string> entries() const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_)) {
            names.insert(e.path().filename().string());
        }
        return names;
    }
    static std::string contents(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    // Runs the write in a child process changed by prepare() (a lower file
    // size limit, another user) and returns the fault and path it reported.
    std::pair<ExportFault, std::string> writeInChild(const std::function<void()>& prepare) {
        int fds[2];
        EXPECT_EQ(::pipe(fds), 0);
        const pid_t pid = ::fork();
        if (pid == 0) {
            prepare();
            const WriteResult r = writeWorkbookFile(dir_.string(), "Test", {9, 30, 15}, bytes_);
            (void)!::write(fds[1], r.path.data(), r.path.size());
            ::_exit(static_cast<int>(r.fault));
        }
        ::close(fds[1]);
        std::string path;
        char buf[256];
        for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) {
            path.append(buf, static_cast<std::size_t>(n));
        }
        ::close(fds[0]);
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status));
        return {static_cast<ExportFault>(WEXITSTATUS(status)), path};
    }

    fs::path dir_;
    std::vector<std::uint8_t> bytes_ = std::vector<std::uint8_t>(2'000'000, 0x5A);
};

TEST_F(WorkbookFile, TakenNameKeepsTheEarlierFileAndNumbersTheNewOne) {
    std::ofstream(dir_ / "Test-093015.xls") << "earlier";
    const WriteResult second = writeWorkbookFile(dir_.string(), "Test", {9, 30, 15}, bytes_);
    ASSERT_TRUE(second.ok()) << second.explanation;
    EXPECT_EQ(second.path, (dir_ / "Test-093015-2.xls").string());
    const WriteResult third = writeWorkbookFile(dir_.string(), "Test", {9, 30, 15}, {});
    ASSERT_TRUE(third.ok()) << third.explanation;
    EXPECT_EQ(third.path, (dir_ / "Test-093015-3.xls").string());

    EXPECT_EQ(contents(dir_ / "Test-093015.xls"), "earlier");
    EXPECT_EQ(contents(second.path), std::string(bytes_.begin(), bytes_.end()));
    EXPECT_EQ(fs::file_size(third.path), 0u);
    EXPECT_EQ(entries(),
              (std::set<std::string>{"Test-093015.xls", "Test-093015-2.xls", "Test-093015-3.xls"}));
}

TEST_F(WorkbookFile, RefusedBaseNameWritesNothing) {
    for (const char* name : {"", "..", "a/b", "a\rb"}) {
        const WriteResult r = writeWorkbookFile(dir_.string(), name, {9, 30, 15}, bytes_);
        EXPECT_FALSE(r.ok()) << name;
        EXPECT_EQ(r.fault, checkBaseName(name).fault);
        EXPECT_FALSE(r.explanation.empty());
    }
    EXPECT_TRUE(entries().empty());
}

TEST_F(WorkbookFile, MissingFolderIsReportedWithItsPath) {
    const std::string gone = (dir_ / "removed").string();
    const WriteResult r = writeWorkbookFile(gone, "Test", {9, 30, 15}, bytes_);
    EXPECT_EQ(r.fault, ExportFault::FolderMissing);
    EXPECT_EQ(r.path, gone);
    EXPECT_NE(r.explanation.find(gone), std::string::npos) << r.explanation;
    EXPECT_EQ(r.systemError, ENOENT);

    std::ofstream(dir_ / "plain-file") << "x";
    const WriteResult notDir =
        writeWorkbookFile((dir_ / "plain-file").string(), "Test", {9, 30, 15}, bytes_);
    EXPECT_EQ(notDir.fault, ExportFault::FolderMissing);
    EXPECT_EQ(entries(), std::set<std::string>{"plain-file"});
    EXPECT_FALSE(isWritableFolder((dir_ / "plain-file").string()));
    EXPECT_FALSE(isWritableFolder(gone));
    EXPECT_TRUE(isWritableFolder(dir_.string()));
}

TEST_F(WorkbookFile, UnwritableFolderLeavesNothingBehind) {
    const bool root = ::geteuid() == 0;
    if (!root) {
        fs::permissions(dir_, fs::perms(0555));
    }
    // Root may write anywhere: the child drops to an ordinary user instead.
    const auto [fault, path] = writeInChild([root] {
        if (root && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(100);
        }
    });
    EXPECT_EQ(fault, ExportFault::NotPermitted);
    EXPECT_EQ(path, dir_.string());
    EXPECT_TRUE(entries().empty());
}

TEST_F(WorkbookFile, FullDiskMidWriteLeavesNoPartialFile) {
    // A file size limit fails the write part-way, as a full disk would.
    const auto [fault, path] = writeInChild([] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{.rlim_cur = 100'000, .rlim_max = 100'000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    EXPECT_EQ(fault, ExportFault::NoSpace);
    EXPECT_EQ(path, (dir_ / "Test-093015.xls").string());
    EXPECT_TRUE(entries().empty());
}

}  // namespace
}  // namespace tq::xls
