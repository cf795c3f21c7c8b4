"""The packer lays out installer images as the stub reads them."""
import io
import os
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PACKER = os.path.join(ROOT, "tools", "mkpkg_kitpack")


def pack(tmp, *args):
    stub = os.path.join(tmp, "stub.exe")
    with open(stub, "wb") as f:
        f.write(b"MZ" + b"s" * 98)
    out = os.path.join(tmp, "setup.exe")
    subprocess.run([sys.executable, PACKER, "--stub", stub, "--output", out, *args], check=True)
    with open(out, "rb") as f:
        return f.read()


def assert_refused(test, result, words, what):
    """The packer refused: exit status 2 and its error line, which holds words."""
    test.assertEqual(result.returncode, 2, what)
    test.assertTrue(result.stderr.startswith("mkpkg_kitpack: error: "), what + ": " + result.stderr)
    test.assertIn(words, result.stderr, what)


def split(image):
    """Returns stub, bitmap, cfgdata and the zip bytes, read as the stub does."""
    eocd = image[-22:]
    sig, cd_size, cd_offset = struct.unpack("<I8xII2x", eocd)
    assert sig == 0x06054B50
    meta = len(image) - cd_size - cd_offset - 34
    magic, cfg_len, bmp_len = struct.unpack("<III", image[meta:meta + 12])
    assert magic == 0x1234567B
    cfg = meta - cfg_len
    bmp = cfg - bmp_len
    return image[:bmp], image[bmp:cfg], image[cfg:meta], image[meta + 12:]


class PackerTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp()
        tree = os.path.join(self.tmp, "tree")
        os.makedirs(os.path.join(tree, "PURELIB", "pkg", "sub"))
        os.makedirs(os.path.join(tree, "DATA", "empty"))
        with open(os.path.join(tree, "PURELIB", "pkg", "__init__.py"), "w") as f:
            f.write("x = 1\n" * 50)
        with open(os.path.join(tree, "PURELIB", "pkg", "sub", "empty.txt"), "w"):
            pass
        self.tree = tree

    def test_layout_with_picture_script_and_settings(self):
        bmp = os.path.join(self.tmp, "p.bmp")
        with open(bmp, "wb") as f:
            f.write(b"BM" + b"p" * 60)
        script = os.path.join(self.tmp, "pre.py")
        with open(script, "wb") as f:
            f.write(b"print('pre')\n")
        image = pack(self.tmp, "--bitmap", bmp, "--preinstall", script, "--tree", self.tree,
                     "--title", "T 1.0", "--name", "pkg", "--target-version", "2.5",
                     "--user-access-control", "auto")
        stub, picture, cfgdata, archive = split(image)
        self.assertEqual(stub, b"MZ" + b"s" * 98)
        self.assertEqual(picture, b"BM" + b"p" * 60)
        settings, rest = cfgdata.split(b"\0", 1)
        self.assertEqual(rest, b"print('pre')\n\0")
        self.assertIn(b"[metadata]\nname=pkg\n", settings)
        for line in (b"title=T 1.0", b"target_version=2.5", b"user_access_control=auto"):
            self.assertIn(line + b"\n", settings)
        with zipfile.ZipFile(io.BytesIO(archive)) as z:
            self.assertEqual(z.comment, b"")
            names = z.namelist()
        self.assertEqual(names, ["DATA/empty/", "PURELIB/pkg/__init__.py", "PURELIB/pkg/sub/empty.txt"])

    def test_without_picture_or_script(self):
        image = pack(self.tmp, "--tree", self.tree, "--method", "stored")
        stub, picture, cfgdata, archive = split(image)
        self.assertEqual(picture, b"")
        self.assertTrue(cfgdata.endswith(b"\0"))
        self.assertEqual(cfgdata.count(b"\0"), 1)
        with zipfile.ZipFile(io.BytesIO(archive)) as z:
            self.assertTrue(all(i.compress_type == zipfile.ZIP_STORED for i in z.infolist()))

    def test_member_time_can_be_fixed(self):
        image = pack(self.tmp, "--tree", self.tree, "--date-time", "2008-03-01T10:15:30")
        with zipfile.ZipFile(io.BytesIO(split(image)[3])) as z:
            self.assertEqual(z.infolist()[1].date_time, (2008, 3, 1, 10, 15, 30))


if __name__ == "__main__":
    unittest.main()
