#include "support/PictureFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    const std::string png = folder.path("d.jpg");
    PngPicture picture;
    picture.width = 6;
    picture.height = 3;
    picture.colourType = PNG_COLOR_TYPE_GRAY;
    picture.samples.assign(6 * 3, 7);
    writeBytes(png, encodePng(picture));

    EXPECT_EQ(run(jpeg).out, "jpeg 48x32\n");
    EXPECT_EQ(run(tga).out, "tga 5x7\n");
    for (auto [file, line] : {std::pair{tiff, "tiff 9x4\n"}, std::pair{png, "png 6x3\n"}}) {
        const Result result = run(file);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out, line);
        EXPECT_EQ(result.err, "") << "probing with the readers before stays quiet";
    }
}

TEST_F(QorxImageToolTest, HelpGoesToStandardOutputAndUsageErrorsExitWith2)
{
    for (const char* help : {"--help", "-h"}) {
        const Result result = run(help);
        EXPECT_EQ(result.status, 0) << help;
        EXPECT_EQ(result.out.rfind("usage: qorx-image FILE [OUT.pam]\n", 0), 0u) << help;
        EXPECT_NE(result.out.find("Exit status"), std::string::npos) << help;
        EXPECT_EQ(result.err, "") << help;
    }
    for (const char* wrong : {"", "a b c", "--verbose a.tga"}) {
        const Result result = run(wrong);
        EXPECT_EQ(result.status, 2) << wrong;
        EXPECT_EQ(result.out, "") << wrong;
        EXPECT_NE(result.err.find("usage: qorx-image FILE [OUT.pam]\n"), std::string::npos) << wrong;
    }
}

// Each refusal names the most telling reason any reader found. Only libjpeg
// adds a line of its own, for a fatal error in a JPEG.
TEST_F(QorxImageToolTest, ARefusalNamesItsReason)
{
    struct Case {
        std::string name;
        Bytes bytes;
        std::string reason;
    };
    Bytes badJpeg = encodeJpeg(Bytes(16 * 16 * 3, 99), 16, 16, {});
    const Bytes frame = {0xFF, 0xC0}; // then length and precision
    badJpeg[std::search(badJpeg.begin(), badJpeg.end(), frame.begin(), frame.end()) - badJpeg.begin() + 4] = 9;
    PngPicture picture;
    picture.width = picture.height = 4;
    picture.samples.assign(4 * 4 * 3, 1);
    const Bytes png = encodePng(picture);
    const std::vector<Case> cases = {
        {"empty.tga", {}, "empty file"},
        {"notes.txt", {'h', 'i', '\n'}, "not a JPEG, TGA, TIFF or PNG file"},
        {"map.tga", concat({tgaHeader(1, 2, 2, 8, 0x20, 256, 24), Bytes(800, 1)}),
         "TGA image type 1 (colour-mapped) is not supported"},
        {"huge.tga", tgaHeader(2, 40000, 40000, 32, 0x20),
         "40000 x 40000 pixels is over the decode budget of 268435456 pixels"},
        {"short.tga", concat({tgaHeader(10, 4, 4, 24, 0x20), {0x83, 1, 2, 3}}), "TGA run-length data ends early"},
        {"bad.tif", {'I', 'I', 42, 0, 0xFF, 0xFF, 0, 0}, "TIFF: "},
        {"bad.jpg", badJpeg, "JPEG: Unsupported JPEG data precision 9"},
        {"cut.png", Bytes(png.begin(), png.end() - 20), "PNG: the file ends early"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.path(c.name);
        writeBytes(path, c.bytes);
        const Result result = run(path);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "");
        const std::string prefix = "qorx-image: cannot load " + path + ": " + c.reason;
        if (c.name == "bad.tif")
            EXPECT_EQ(result.err.rfind(prefix, 0), 0u) << result.err; // libtiff's own words follow
        else if (c.name == "bad.jpg")
            EXPECT_EQ(result.err, "Unsupported JPEG data precision 9\n" + prefix + "\n");
        else
            EXPECT_EQ(result.err, prefix + "\n");
    }
    EXPECT_EQ(run(folder.path("missing.png")).err,
              "qorx-image: cannot load " + folder.path("missing.png") + ": No such file or directory\n");
    EXPECT_EQ(run(folder.root()).err, "qorx-image: cannot load " + folder.root() + ": Is a directory\n");
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
