"""Signs a finished installer image with osslsigncode, for mkpkg_kitpack.

Authenticode signing appends a certificate table to the image and names it in
the PE security directory; the stub finds its package in front of that table.
The image is written and signed in a scratch folder beside the output, the
signature is verified, and only a verified image becomes the output file.

Verification trusts the system's CA certificates and the certificates the
signature carries: it proves the signature sound and the certificate valid
today (not expired, made for code signing), not that Windows trusts the
publisher. Revocation lists are not fetched: that is Windows' check when the
installer runs.
"""
import os
import re
import shutil
import subprocess
import tempfile

OSSLSIGNCODE = "osslsigncode"
SYSTEM_CA_FILE = "/etc/ssl/certs/ca-certificates.crt"
# A timestamp server may be slow; one that never answers must not hang a build.
TIMEOUT_SECONDS = 300


class SigningError(Exception):
    """Signing or verifying failed; the message says why."""


def add_options(parser):
    group = parser.add_argument_group(
        "signing", "Authenticode-sign the installer with osslsigncode (Debian package"
        " osslsigncode); the output is written only when the signature verifies")
    group.add_argument("--sign-pkcs12", dest="sign_pkcs12", metavar="FILE",
                       help="certificate and private key in a PKCS#12 (.pfx/.p12) file")
    group.add_argument("--sign-password-file", dest="sign_password_file", metavar="FILE",
                       help="file whose first line is the password of the key")
    group.add_argument("--sign-cert", dest="sign_cert", metavar="FILE",
                       help="certificate chain (PEM, or DER .spc); needs --sign-key")
    group.add_argument("--sign-key", dest="sign_key", metavar="FILE",
                       help="private key (PEM or DER) of --sign-cert")
    group.add_argument("--sign-timestamp", dest="sign_timestamp", metavar="URL",
                       help="RFC 3161 timestamp server, so the signature outlives the certificate")


def check_options(parser, args):
    """Refuses option sets that name no key or two; true when signing is asked for."""
    pair = args.sign_cert is not None or args.sign_key is not None
    if args.sign_pkcs12 is not None and pair:
        parser.error("--sign-pkcs12 does not go with --sign-cert or --sign-key")
    if pair and (args.sign_cert is None or args.sign_key is None):
        parser.error("--sign-cert and --sign-key go together")
    signing = args.sign_pkcs12 is not None or pair
    if not signing and (args.sign_password_file is not None or args.sign_timestamp is not None):
        parser.error("--sign-password-file and --sign-timestamp need --sign-pkcs12 or --sign-cert")
    return signing


def description_of(title):
    """The package title as a one-line description: the settings' escapes
    (\\n, \\r, octal bytes) read as the stub reads them, line breaks as spaces."""
    if len(title) >= 2 and title[0] == title[-1] == '"':
        title = title[1:-1]

    def expand(match):
        escape = match.group(1)
        if escape[:1].isdigit():
            return chr(int(escape, 8))
        return " " if escape in ("n", "r") else ""

    return " ".join(re.sub(r"\\([0-3][0-7]{0,2}|.?)", expand, title).split())


def run_tool(what, command):
    """Runs osslsigncode without a terminal to ask for a password on."""
    try:
        result = subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True, text=True,
                                errors="replace", start_new_session=True, timeout=TIMEOUT_SECONDS)
    except FileNotFoundError:
        raise SigningError("%s is not installed (Debian package osslsigncode)" % OSSLSIGNCODE)
    except subprocess.TimeoutExpired:
        raise SigningError("%s did not finish within %d s" % (what, TIMEOUT_SECONDS))
    if result.returncode != 0:
        lines = [line.strip() for line in (result.stdout + result.stderr).splitlines() if line.strip()]
        raise SigningError("%s failed: %s" % (what, "; ".join(lines[-6:]) or "no message"))
    return result.stdout + result.stderr


def credentials(args):
    if args.sign_pkcs12 is not None:
        command = ["-pkcs12", args.sign_pkcs12]
    else:
        command = ["-certs", args.sign_cert, "-key", args.sign_key]
    if args.sign_password_file is not None:
        if not os.path.isfile(args.sign_password_file):
            raise SigningError("cannot read the password file %s" % args.sign_password_file)
        command += ["-readpass", args.sign_password_file]
    return command


def verify(signed, scratch):
    """Verifies the signature against the system's CAs and its own certificates."""
    signature = os.path.join(scratch, "signature.pem")
    run_tool("osslsigncode extract-signature",
             [OSSLSIGNCODE, "extract-signature", "-pem", "-in", signed, "-out", signature])
    with open(signature, "rb") as f:
        pem = f.read()
    certificates = pkcs7_certificates(pem)
    ca_file = os.path.join(scratch, "ca.pem")
    with open(ca_file, "wb") as out:
        if os.path.isfile(SYSTEM_CA_FILE):
            with open(SYSTEM_CA_FILE, "rb") as f:
                shutil.copyfileobj(f, out)
        out.write(certificates)
    command = [OSSLSIGNCODE, "verify", "-CAfile", ca_file]
    if verify_knows("-ignore-cdp"):
        command.append("-ignore-cdp")
    run_tool("osslsigncode verify", command + ["-in", signed])


def verify_knows(option):
    """Whether this osslsigncode's verify has an option (its help ends with status 1)."""
    result = subprocess.run([OSSLSIGNCODE, "verify", "--help"], stdin=subprocess.DEVNULL,
                            capture_output=True, text=True, errors="replace", timeout=TIMEOUT_SECONDS)
    return option in result.stdout + result.stderr


def pkcs7_certificates(pem):
    """The certificates of a PEM PKCS#7 signature, as PEM, through openssl."""
    try:
        result = subprocess.run(["openssl", "pkcs7", "-print_certs"], input=pem, capture_output=True,
                                timeout=TIMEOUT_SECONDS)
    except FileNotFoundError:
        raise SigningError("openssl is not installed (Debian package openssl)")
    if result.returncode != 0:
        raise SigningError("cannot read the certificates of the signature: %s"
                           % result.stderr.decode(errors="replace").strip())
    return result.stdout


def write_signed(image, output, title, args):
    """Writes image to output, signed; on any failure output is not written."""
    folder = os.path.dirname(os.path.abspath(output))
    with tempfile.TemporaryDirectory(prefix=".mkpkg-sign-", dir=folder) as scratch:
        unsigned = os.path.join(scratch, "unsigned.exe")
        signed = os.path.join(scratch, "signed.exe")
        with open(unsigned, "wb") as f:
            f.write(image)
        command = [OSSLSIGNCODE, "sign"] + credentials(args)
        description = description_of(title or "")
        if description:
            command += ["-n", description]
        if args.sign_timestamp is not None:
            command += ["-ts", args.sign_timestamp]
        run_tool("osslsigncode sign", command + ["-in", unsigned, "-out", signed])
        verify(signed, scratch)
        os.replace(signed, output)
