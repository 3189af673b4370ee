#include "support/MemoryTrim.h"

#include <QTemporaryFile>
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

namespace {

struct FileMapping {
    void* address = MAP_FAILED;
    size_t length = 0;
    ~FileMapping()
    {
        if (address != MAP_FAILED)
            munmap(address, length);
    }
};

} // namespace

// Released pages read back from the file; a private page the process changed keeps the change even
// once it is read-only again (as relocated library data is).
TEST(MemoryTrimTests, CleanFilePagesComeBackFromTheFileAndChangedPagesAreKept)
{
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    QByteArray content(int(4 * page), 'a');
    for (qsizetype i = 0; i < content.size(); ++i)
        content[i] = char('a' + i % 26);
    ASSERT_EQ(file.write(content), content.size());
    ASSERT_TRUE(file.flush());

    FileMapping clean;
    clean.length = content.size();
    clean.address = mmap(nullptr, clean.length, PROT_READ, MAP_PRIVATE, file.handle(), 0);
    ASSERT_NE(clean.address, MAP_FAILED);
    FileMapping changed;
    changed.length = content.size();
    changed.address = mmap(nullptr, changed.length, PROT_READ | PROT_WRITE, MAP_PRIVATE, file.handle(), 0);
    ASSERT_NE(changed.address, MAP_FAILED);

    volatile char sum = 0;
    for (size_t i = 0; i < clean.length; i += page)
        sum = char(sum + static_cast<const char*>(clean.address)[i]);
    static_cast<char*>(changed.address)[page + 1] = '#';
    ASSERT_EQ(mprotect(changed.address, changed.length, PROT_READ), 0);

    EXPECT_GT(releaseCleanFilePages(), 0);
    EXPECT_EQ(QByteArray(static_cast<const char*>(clean.address), int(clean.length)), content);
    QByteArray expected = content;
    expected[page + 1] = '#';
    EXPECT_EQ(QByteArray(static_cast<const char*>(changed.address), int(changed.length)), expected);
}
