#include "support/PictureFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

namespace {

class QorxImageToolTest : public testing::Test {
protected:
    struct Result {
        int status;
        std::string out;
        std::string err;
    };

    Result run(const std::string& arguments)
    {
        const std::string out = folder.path("stdout");
        const std::string err = folder.path("stderr");
        const std::string command = std::string(QORX_IMAGE_TOOL) + " " + arguments + " >" + out + " 2>" + err;
        const int status = std::system(command.c_str());
        const Bytes outBytes = readBytes(out);
        const Bytes errBytes = readBytes(err);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, std::string(outBytes.begin(), outBytes.end()),
                std::string(errBytes.begin(), errBytes.end())};
    }

    TempFolder folder;
};

TEST_F(QorxImageToolTest, NamesTheReaderThatLoadsEachFormatWhateverTheFileName)
{
    const std::string jpeg = folder.path("a.tif");
    JpegSettings progressive;
    progressive.coding = JpegCoding::Progressive;
    writeBytes(jpeg, encodeJpeg(Bytes(48 * 32 * 3, 99), 48, 32, progressive));
    const std::string tga = folder.path("b.jpg");
    writeBytes(tga, tgaHeader(3, 5, 7, 8, 0x20));
    const std::string tiff = folder.path("c.tga");
    TiffPage page;
    page.width = 9;
    page.height = 4;
    page.compression = COMPRESSION_LZW;
    page.data = Bytes(9 * 4 * 3, 50);
    writeTiff(tiff, {page});

    EXPECT_EQ(run(jpeg).out, "jpeg 48x32\n");
    EXPECT_EQ(run(tga).out, "tga 5x7\n");
    const Result result = run(tiff);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "tiff 9x4\n");
    EXPECT_EQ(result.err, "") << "probing a TIFF as JPEG and TGA stays quiet";
}

TEST_F(QorxImageToolTest, FileNoReaderAcceptsIsReportedOnStandardError)
{
    const std::string text = folder.path("notes.txt");
    writeBytes(text, {'h', 'i', '\n'});
    const Result result = run(text);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "qorx-image: cannot load " + text + "\n");
    EXPECT_EQ(run(folder.path("missing.png")).status, 1);
}

TEST_F(QorxImageToolTest, WritesTheRecordAsPam)
{
    const std::string tga = folder.path("pixels.tga");
    writeBytes(tga, concat({tgaHeader(2, 2, 1, 32, 0x20), {10, 20, 30, 40, 1, 2, 3, 4}}));
    const std::string pam = folder.path("out.pam");
    ASSERT_EQ(run(tga + " " + pam).status, 0);
    const std::string header = "P7\nWIDTH 2\nHEIGHT 1\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    EXPECT_EQ(readBytes(pam), concat({Bytes(header.begin(), header.end()), {30, 20, 10, 40, 3, 2, 1, 4}}));

    EXPECT_EQ(run(tga + " " + folder.path("no/such/folder.pam")).status, 1);
}

} // namespace
