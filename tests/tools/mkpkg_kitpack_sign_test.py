"""The packer signs the finished installer with osslsigncode, verifies it, and
writes nothing when signing or verifying fails. The certificates are
throwaways that openssl makes for each run."""
import os
import shutil
import struct
import subprocess
import tempfile
import unittest

from mkpkg_kitpack_test import assert_refused, split
from mkpkg_kitpack_wheel_test import make_wheel, run_packer


def pe_stub():
    """A PE32 program as the linker lays it out: 512 bytes of headers, one
    512-byte section."""
    v = bytearray(1024)
    v[0:2] = b"MZ"
    struct.pack_into("<I", v, 0x3C, 0x40)
    v[0x40:0x44] = b"PE\0\0"
    struct.pack_into("<HH", v, 0x44, 0x14C, 1)
    struct.pack_into("<H", v, 0x54, 224)
    struct.pack_into("<H", v, 0x58, 0x10B)
    struct.pack_into("<I", v, 0x58 + 60, 512)
    struct.pack_into("<I", v, 0x58 + 92, 16)
    v[0x138:0x140] = b".text\0\0\0"
    struct.pack_into("<II", v, 0x138 + 16, 512, 512)
    v[512:] = b"\xcc" * 512
    return bytes(v)


SECURITY_ENTRY = 0x58 + 128
CHECKSUM = 0x58 + 64


def openssl(*args, cwd):
    subprocess.run(["openssl", *args], cwd=cwd, check=True, capture_output=True)


def make_certificates(folder):
    """cert.pem/key.pem (valid for two days), signer.p12 (password in
    password.txt), server.pem/server-key.pem (for web servers only) and
    expired.pem/expired-key.pem (valid one day in 2020)."""
    for name, usage in (("cert.pem", "codeSigning"), ("server.pem", "serverAuth")):
        key = "key.pem" if name == "cert.pem" else "server-key.pem"
        openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", name, "-days", "2",
                "-subj", "/CN=kitpack test signer", "-addext", "extendedKeyUsage=" + usage, cwd=folder)
    with open(os.path.join(folder, "password.txt"), "w") as f:
        f.write("s3cret\n")
    openssl("pkcs12", "-export", "-in", "cert.pem", "-inkey", "key.pem", "-out", "signer.p12",
            "-passout", "pass:s3cret", cwd=folder)
    # openssl req cannot date a certificate in the past; openssl ca can.
    ca = os.path.join(folder, "ca")
    os.mkdir(ca)
    open(os.path.join(ca, "index.txt"), "w").close()
    with open(os.path.join(ca, "serial"), "w") as f:
        f.write("01\n")
    with open(os.path.join(folder, "ca.cnf"), "w") as f:
        f.write("[ca]\ndefault_ca = d\n[d]\ndatabase = ca/index.txt\nnew_certs_dir = ca\n"
                "serial = ca/serial\ndefault_md = sha256\npolicy = p\nx509_extensions = e\n"
                "[p]\ncommonName = supplied\n[e]\nextendedKeyUsage = codeSigning\n")
    openssl("req", "-new", "-newkey", "rsa:2048", "-nodes", "-keyout", "expired-key.pem", "-out",
            "expired.csr", "-subj", "/CN=kitpack expired signer", cwd=folder)
    openssl("ca", "-batch", "-config", "ca.cnf", "-selfsign", "-keyfile", "expired-key.pem", "-in",
            "expired.csr", "-out", "expired.pem", "-startdate", "20200101000000Z", "-enddate",
            "20200102000000Z", cwd=folder)


def osslsigncode_verify(path, ca_file):
    return subprocess.run(["osslsigncode", "verify", "-CAfile", ca_file, "-in", path],
                          capture_output=True, text=True)


class SigningPackerTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.certs = tempfile.mkdtemp()
        make_certificates(cls.certs)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.certs)

    def setUp(self):
        self.tmp = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.tmp)
        self.stub = os.path.join(self.tmp, "stub.exe")
        with open(self.stub, "wb") as f:
            f.write(pe_stub())
        self.tree = os.path.join(self.tmp, "tree")
        os.makedirs(os.path.join(self.tree, "PURELIB", "pkg"))
        with open(os.path.join(self.tree, "PURELIB", "pkg", "__init__.py"), "w") as f:
            f.write("x = 1\n" * 7)
        self.out = os.path.join(self.tmp, "out", "setup.exe")
        os.mkdir(os.path.dirname(self.out))

    def cert(self, name):
        return os.path.join(self.certs, name)

    def pack(self, *args):
        return run_packer("--stub", self.stub, "--output", self.out, "--date-time", "2024-05-06T07:08:10",
                          *args)

    def test_every_way_of_signing_gives_a_verified_installer_around_the_unsigned_image(self):
        wheel = make_wheel(os.path.join(self.tmp, "demo_pkg-2.5-py3-none-any.whl"),
                           {"demo_pkg/__init__.py": b"x = 1\n"})
        pkcs12 = ("--sign-pkcs12", self.cert("signer.p12"), "--sign-password-file", self.cert("password.txt"))
        pair = ("--sign-cert", self.cert("cert.pem"), "--sign-key", self.cert("key.pem"))
        rows = [  # (what, package arguments, signing arguments, description)
            ("key pair", ("--tree", self.tree, "--title", "Signed 1.0"), pair, "Signed 1.0"),
            ("pkcs12", ("--tree", self.tree, "--title", 'Two\\nlines'), pkcs12, "Two lines"),
            ("wheel", ("--wheel", wheel), pkcs12, "Demo-Pkg 2.5"),
        ]
        for what, package, signing, description in rows:
            result = self.pack(*package)
            self.assertEqual(result.returncode, 0, result.stderr)
            with open(self.out, "rb") as f:
                unsigned = f.read()
            os.remove(self.out)
            result = self.pack(*package, *signing)
            self.assertEqual(result.returncode, 0, what + ": " + result.stderr)
            with open(self.out, "rb") as f:
                image = f.read()
            self.assertEqual(os.listdir(os.path.dirname(self.out)), ["setup.exe"], what)
            checked = osslsigncode_verify(self.out, self.cert("cert.pem"))
            self.assertEqual(checked.returncode, 0, what + ": " + checked.stdout)
            self.assertIn("Text description: %s\n" % description, checked.stdout, what)
            # The unsigned image, then zeros to a multiple of 8, then the table
            # the security entry names; the headers differ only in the entry
            # and the checksum.
            table, size = struct.unpack_from("<II", image, SECURITY_ENTRY)
            self.assertEqual(table, (len(unsigned) + 7) // 8 * 8, what)
            self.assertEqual(table + size, len(image), what)
            self.assertEqual(image[len(unsigned):table], bytes(table - len(unsigned)), what)
            self.assertEqual(image[CHECKSUM + 4:SECURITY_ENTRY], unsigned[CHECKSUM + 4:SECURITY_ENTRY], what)
            self.assertEqual(image[SECURITY_ENTRY + 8:len(unsigned)], unsigned[SECURITY_ENTRY + 8:], what)
            self.assertEqual(image[:CHECKSUM], unsigned[:CHECKSUM], what)
            self.assertEqual(split(unsigned)[0], pe_stub(), what)
            os.remove(self.out)

    def test_failed_signing_or_verifying_gives_status_2_and_no_output(self):
        with open(os.path.join(self.tmp, "wrong.txt"), "w") as f:
            f.write("not the password\n")
        rows = [  # (what, signing arguments, words of the message)
            ("wrong password", ("--sign-pkcs12", self.cert("signer.p12"), "--sign-password-file",
                                os.path.join(self.tmp, "wrong.txt")), "osslsigncode sign failed"),
            ("no password", ("--sign-pkcs12", self.cert("signer.p12")), "osslsigncode sign failed"),
            ("missing pkcs12", ("--sign-pkcs12", self.cert("none.p12")), "none.p12"),
            ("missing password file", ("--sign-pkcs12", self.cert("signer.p12"), "--sign-password-file",
                                       self.cert("none.txt")), "cannot read the password file"),
            ("missing certificate", ("--sign-cert", self.cert("none.pem"), "--sign-key", self.cert("key.pem")),
             "none.pem"),
            ("missing key", ("--sign-cert", self.cert("cert.pem"), "--sign-key", self.cert("none.pem")),
             "none.pem"),
            ("key of another certificate", ("--sign-cert", self.cert("cert.pem"), "--sign-key",
                                            self.cert("expired-key.pem")), "osslsigncode sign failed"),
            ("expired certificate", ("--sign-cert", self.cert("expired.pem"), "--sign-key",
                                     self.cert("expired-key.pem")), "certificate has expired"),
            ("certificate not for code signing", ("--sign-cert", self.cert("server.pem"), "--sign-key",
                                                  self.cert("server-key.pem")), "osslsigncode verify failed"),
        ]
        for what, signing, words in rows:
            result = self.pack("--tree", self.tree, *signing)
            assert_refused(self, result, words, what)
            self.assertEqual(os.listdir(os.path.dirname(self.out)), [], what)

    def test_signing_options_that_do_not_go_together_are_refused(self):
        rows = [
            (("--sign-pkcs12", "a.p12", "--sign-cert", "c.pem", "--sign-key", "k.pem"), "does not go with"),
            (("--sign-cert", "c.pem"), "go together"),
            (("--sign-key", "k.pem"), "go together"),
            (("--sign-password-file", "p.txt"), "need --sign-pkcs12 or --sign-cert"),
            (("--sign-timestamp", "http://localhost:9"), "need --sign-pkcs12 or --sign-cert"),
        ]
        for signing, words in rows:
            result = self.pack("--tree", self.tree, *signing)
            self.assertEqual(result.returncode, 2, signing)
            self.assertIn(words, result.stderr, signing)
            self.assertFalse(os.path.exists(self.out), signing)


if __name__ == "__main__":
    unittest.main()
