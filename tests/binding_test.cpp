// The binding: search order, lazy look-up and its cache, the errors a failed load raises,
// and the marshalling of texts, numbers and variants, each in this process and through the
// library host; and what a library that crashes or hangs in its host turns into.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <mutex>

#include "library.h"
#include "qorbind.h"
#include "rigerror.h"

namespace {

using qorbind::Library;

const QString kFake = QStringLiteral(FAKES_DIR "/libfake_binding.so");

// Points the binding at a library for one test and back at the real one afterwards.
class WithLibrary : public ::testing::Test {
  protected:
    void use(const QString &path) { Library::instance().setPath(path); }
    void TearDown() override { Library::instance().setPath(QStringLiteral(QORLIB_PATH)); }
};

// Expects `call` to raise the rig error `number` with `description`.
template <typename F>
void expectError(F &&call, int number, const QString &description) {
    try {
        call();
        ADD_FAILURE() << "no error raised, expected " << number;
    } catch (const rt::RigError &error) {
        EXPECT_EQ(error.number(), number);
        EXPECT_EQ(error.description(), description);
    }
}

// Every marshalling test runs twice: calling the library directly and through its host,
// where every argument and result crosses the channel.
class Binding : public WithLibrary, public ::testing::WithParamInterface<bool> {
  protected:
    void SetUp() override { Library::instance().setIsolated(GetParam()); }
    void TearDown() override {
        Library::instance().setIsolated(false);
        WithLibrary::TearDown();
    }
};
INSTANTIATE_TEST_SUITE_P(InProcessAndInHost, Binding, ::testing::Bool(),
                         [](const auto &info) { return info.param ? "InHost" : "InProcess"; });

class DirectBinding : public WithLibrary {};

TEST_F(DirectBinding, LoadsLazilyAndLooksUpEachExportOnce) {
    use(QStringLiteral(QORLIB_PATH));
    EXPECT_TRUE(Library::instance().loadedPath().isEmpty()) << "loaded before the first call";
    const int before = Library::instance().lookupCount();
    EXPECT_EQ(qor::LibVersion(), 125);
    EXPECT_FALSE(Library::instance().loadedPath().isEmpty());
    EXPECT_EQ(qor::LibVersion(), 125);
    EXPECT_EQ(qor::LibVersion(), 125);
    EXPECT_EQ(Library::instance().lookupCount(), before + 1);
}

TEST_F(DirectBinding, CachedAddressesAreDroppedWhenTheLibraryChanges) {
    use(QStringLiteral(QORLIB_PATH));
    EXPECT_EQ(qor::StrRev("abc"), QStringLiteral("cba"));
    use(kFake);
    EXPECT_EQ(qor::StrRev("abc"), QStringLiteral("abc"));  // the fake's identity
}

TEST_P(Binding, Errors) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString broken = dir.filePath(QStringLiteral("libqorlib145.so"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("this is not a shared library");
    file.close();

    use(dir.filePath(QStringLiteral("missing.so")));
    expectError([] { qor::LibVersion(); }, 53, QStringLiteral("File not found: missing.so"));
    use(broken);
    expectError([] { qor::LibVersion(); }, 48, QStringLiteral("Error in loading DLL"));
    use(kFake);
    expectError([] { qor::Gcd(1, 2); }, 453,
                QStringLiteral("Can't find DLL entry point Gcd in libfake_binding.so"));
    // A failed look-up is not cached as a success: it fails again, and other exports work.
    expectError([] { qor::Gcd(1, 2); }, 453,
                QStringLiteral("Can't find DLL entry point Gcd in libfake_binding.so"));
    EXPECT_EQ(qor::LibVersion(), 125);
    // The library reports running out of memory with a null result.
    expectError([] { qor::StringToHex("x"); }, 7, QStringLiteral("Out of memory"));
    // The exports it lacks, counted the same both ways, Gcd among them and LibVersion not.
    const std::vector<qorhost::ExportId> missing = Library::instance().missingExports();
    EXPECT_GT(missing.size(), 0u);
    EXPECT_LT(missing.size(), qorhost::EXPORT_COUNT);
    EXPECT_NE(std::find(missing.begin(), missing.end(), qorhost::ExportId::Gcd), missing.end());
    EXPECT_EQ(std::find(missing.begin(), missing.end(), qorhost::ExportId::LibVersion),
              missing.end());
    use(QStringLiteral(QORLIB_PATH));
    EXPECT_TRUE(Library::instance().missingExports().empty());
}

TEST_P(Binding, ByValueVariablesAreCopiedBackByLength) {
    use(kFake);
    QString buffer = QStringLiteral("abcd");
    qor::EncryptString(buffer, 4, "pw", -1, nullptr);
    EXPECT_EQ(buffer, QString::fromLatin1("A\0CD", 4));  // kept past the NUL the call wrote

    const QString constant = QStringLiteral("abcd");
    qor::EncryptString(constant, 4, "pw", -1, nullptr);
    EXPECT_EQ(constant, QStringLiteral("abcd"));

    QString salted = QStringLiteral("abcd");
    qor::EncryptString(salted, 4, "pw", -1, "salt");
    EXPECT_EQ(salted.at(0), u'!');  // a non-null salt arrives as a pointer

    QString shortText = QStringLiteral("ab");
    expectError([&] { qor::EncryptString(shortText, 3, "pw", -1, nullptr); }, 5,
                QStringLiteral("Invalid procedure call or argument"));
    EXPECT_EQ(shortText, QStringLiteral("ab"));
}

TEST_P(Binding, NullAndEmptyTextsDiffer) {
    use(kFake);
    EXPECT_EQ(qor::StrRev(nullptr), QStringLiteral("<null>"));
    EXPECT_EQ(qor::StrRev(""), QString());
    EXPECT_EQ(qor::StrRev(QString()), QString());
}

TEST_P(Binding, ByValueBufferCarriesEveryByte) {
    use(kFake);
    QString text;
    for (int c = 0; c < 256; ++c)
        text += QChar(c);
    qint32 packed = 0;
    const QString back = qor::RLECompress(text, static_cast<std::int32_t>(text.size()), packed);
    EXPECT_EQ(packed, 256);
    EXPECT_EQ(back, text);
}

TEST_P(Binding, LengthsBeyondTheBufferAreRefused) {
    use(kFake);
    std::int32_t packed = 0;
    expectError([&] { qor::RLECompress("abc", 4, packed); }, 5,
                QStringLiteral("Invalid procedure call or argument"));
    packed = 10;
    expectError([&] { qor::RLEUncompress("abc", packed); }, 5,
                QStringLiteral("Invalid procedure call or argument"));
    EXPECT_EQ(packed, 10);
}

TEST_P(Binding, CharactersOutsideLatin1BecomeQuestionMarks) {
    use(kFake);
    QString text = QStringLiteral("a\u20ACb\u00E9");
    EXPECT_EQ(qor::StrRev(text), QStringLiteral("a?b\u00E9"));
    EXPECT_EQ(text, QStringLiteral("a?b\u00E9"));  // the variable takes back the 8-bit copy
}

TEST_P(Binding, ByReferenceTextsTakeBackWhatTheLibraryLeft) {
    use(kFake);
    QString text = QStringLiteral("xyz");
    const QString result = qor::EncodeString64(text, 0);
    EXPECT_EQ(result, QString::fromLatin1("A\0B", 3));
    EXPECT_EQ(text, QStringLiteral("replaced:xyz"));

    std::int32_t count = 0;
    const QString all = qor::DecodeString64(text, count);
    EXPECT_EQ(count, 42);
    EXPECT_TRUE(text.isEmpty());
    ASSERT_EQ(all.size(), 256);
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(all.at(c).unicode(), c);
}

TEST_P(Binding, EveryByteSurvivesTheRoundTripThroughTheRealLibrary) {
    use(QStringLiteral(QORLIB_PATH));
    // StrRev twice must give back every non-NUL byte value in place.
    QString text;
    for (int c = 1; c < 256; ++c)
        text += QChar(c);
    EXPECT_EQ(qor::StrRev(qor::StrRev(text)), text);
}

TEST_P(Binding, Variants) {
    use(kFake);
    qorbind::Variant v;
    EXPECT_TRUE(v.isEmpty());
    EXPECT_EQ(qor::GetArrayDimensions(v), 0);
    expectError([&] { v.upperBound(); }, 13, QStringLiteral("Type mismatch"));

    v = qor::ListFiles("c:\\", "*", 0);
    ASSERT_TRUE(v.isArray());
    EXPECT_EQ(v.lowerBound(), 3);
    EXPECT_EQ(v.upperBound(), 4);
    EXPECT_EQ(v.element(3), QStringLiteral("a"));
    EXPECT_EQ(v.element(4), QString::fromLatin1("b\0c", 3));
    expectError([&] { v.element(5); }, 9, QStringLiteral("Subscript out of range"));
    expectError([&] { v.element(2); }, 9, QStringLiteral("Subscript out of range"));
    // The variant travels to the library with its elements intact.
    EXPECT_EQ(qor::GetArrayDimensions(v), 1 + 10 * 2 + 100 * 1);
    EXPECT_EQ(v.upperBound(), 4);

    const qorbind::Variant scalar = qorbind::Variant::fromText(QStringLiteral("x"));
    expectError([&] { scalar.lowerBound(); }, 13, QStringLiteral("Type mismatch"));
}

// The library in its host: a crash or a hang is the calling step's error, and a fresh host
// serves the next call; what the library prints arrives as the host's output.
TEST_F(WithLibrary, FaultsInTheHostBecomeErrorsOfTheCall) {
    Library &library = Library::instance();
    library.setIsolated(true);
    std::mutex mutex;
    QStringList output;
    library.setHostOutput([&](const QString &line) {
        const std::lock_guard lock(mutex);
        output << line;
    });
    use(QStringLiteral(FAKES_DIR "/libwrap_fault.so"));
    // Each host takes the fault from the environment it starts with.
    const auto withFault = [](const char *fault, auto &&call) {
        SCOPED_TRACE(fault);
        Library::instance().unload();
        qputenv("FAKE_FAULT", fault);
        call();
        qunsetenv("FAKE_FAULT");
        Library::instance().unload();
    };
    withFault("crash", [] {
        expectError(
            [] { qor::Gcd(12, 18); }, 900,
            QStringLiteral("The library crashed in Gcd: signal SIGSEGV (Segmentation fault)"));
    });
    EXPECT_EQ(qor::Gcd(12, 18), 6);
    withFault("exit", [] {
        expectError([] { qor::DiskFree("C"); }, 900,
                    QStringLiteral("The library crashed in DiskFree: exit status 0"));
    });
    library.setCallTimeout(std::chrono::milliseconds(200));
    withFault("hang", [] {
        expectError([] { qor::MatchCIDR("10.0.0.0/8", "10.1.2.3"); }, 901,
                    QStringLiteral("The library did not answer in time: MatchCIDR ran past 0.2 "
                                   "seconds"));
        EXPECT_EQ(qor::IPToLong("1.2.3.4"), 16909060.0);  // a fresh host, faults and all
    });
    library.setCallTimeout(std::chrono::seconds(60));
    withFault("stdout", [] {
        QString buffer = QStringLiteral("text");
        qor::EncryptString(buffer, 4, "pw", 1, "salt");
    });
    library.setHostOutput({});
    EXPECT_TRUE(output.contains(QStringLiteral("EncryptString was here")));
    EXPECT_TRUE(output.contains(QStringLiteral("EncryptString complains")));
    library.setIsolated(false);
}

// Runs the probe from `programDir` with `workDir` as current folder and `path` as PATH.
QString probe(const QString &programDir, const QString &workDir, const QString &path) {
    const QString copy = QDir(programDir).filePath(QStringLiteral("bind_probe"));
    if (!QFile::exists(copy))
        QFile::copy(QStringLiteral(BIND_PROBE), copy);
    QProcess process;
    process.setWorkingDirectory(workDir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"), path);
    env.remove(QStringLiteral("LD_LIBRARY_PATH"));
    process.setProcessEnvironment(env);
    process.start(copy, {});
    process.waitForFinished(30000);
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

TEST(SearchOrder, ProgramFolderThenCurrentFolderThenInstalledFolderThenSystemThenPath) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    // The program sits in an installation of its own, as `cmake --install` lays it out.
    QDir base(root.path());
    for (const char *name : {"prefix/bin", "work", "path1", "path2"})
        base.mkpath(QString::fromLatin1(name));
    const QString program = base.filePath(QStringLiteral("prefix/bin"));
    const QString installed =
        QDir::cleanPath(QDir(program).filePath(QStringLiteral(INSTALLED_LIBDIR)));
    ASSERT_TRUE(base.mkpath(installed));
    const QString work = base.filePath(QStringLiteral("work"));
    const QString path1 = base.filePath(QStringLiteral("path1"));
    const QString path2 = base.filePath(QStringLiteral("path2"));
    const QString path = path1 + u':' + path2;
    const QString lib = QStringLiteral("libqorlib145.so");
    const QString soname = QStringLiteral("libqorlib145.so.1");
    auto place = [&](const QString &dir, const QString &name) {
        ASSERT_TRUE(QFile::copy(QStringLiteral(QORLIB_PATH), QDir(dir).filePath(name)));
    };

    EXPECT_EQ(probe(program, work, path),
              QStringLiteral("error 53 File not found: libqorlib145.so"));
    place(path2, soname);
    EXPECT_EQ(probe(program, work, path), QDir(path2).filePath(soname));
    place(path2, lib);
    EXPECT_EQ(probe(program, work, path), QDir(path2).filePath(lib));
    place(path1, lib);
    EXPECT_EQ(probe(program, work, path), QDir(path1).filePath(lib));
    // A runtime-only installation has the versioned name alone.
    place(installed, soname);
    EXPECT_EQ(probe(program, work, path), QDir(installed).filePath(soname));
    place(work, lib);
    EXPECT_EQ(probe(program, work, path), QDir(work).filePath(lib));
    place(program, lib);
    EXPECT_EQ(probe(program, work, path), QDir(program).filePath(lib));
}

}  // namespace
