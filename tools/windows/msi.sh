#!/bin/sh
# Builds the MSI from the unpacked folder with wixl (Debian's msitools), then adds with
# msibuild what wixl cannot write: the launch conditions, an upgrade range that includes
# every build of the same version, a range that detects a newer version, and the removal
# of the older product before the new one is installed.
# Usage: tools/windows/msi.sh <unpacked folder> <text version> <1.0.0.commits> <output.msi>
set -eu

DIR="$1"
VERSION="$2"
FILEVERSION="$3"
OUT="$4"
BUILD="$(printf '%05d' "${FILEVERSION##*.}")"
UPGRADE="{50A2A832-DDFF-4DC3-A181-ADBA9611A27B}"
ROOT="$(pwd)"

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
# wixl reads sources relative to where it runs.
cp -r "$DIR" "$WORK/files"
cp data/quelvan.ico "$WORK/"
cd "$WORK"
find files -type f | sort |
    wixl-heat --var var.SourceDir -p files/ --directory-ref INSTALLDIR --component-group Files \
        --win64 >files.wxs
wixl -a x64 -D Win64=yes -D Version="$VERSION" -D FileVersion="$FILEVERSION" -D Build="$BUILD" \
    -D Icon=quelvan.ico -D SourceDir=files -o quelvan.msi "$ROOT/tools/windows/quelvan.wxs" \
    files.wxs

# 256 + 512: both ends of the range included; 2: detect only. Conditions are read as a
# whole: a clause that holds lets the install go on.
msibuild quelvan.msi -q "DELETE FROM \`Upgrade\`" \
    -q "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMin\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`) VALUES ('$UPGRADE', '0.0.0', '$FILEVERSION', 768, 'OLDERFOUND')" \
    -q "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMin\`, \`Attributes\`, \`ActionProperty\`) VALUES ('$UPGRADE', '$FILEVERSION', 2, 'NEWERFOUND')" \
    -q "INSERT INTO \`LaunchCondition\` (\`Condition\`, \`Description\`) VALUES ('Installed OR ALLOWDOWNGRADE OR (NOT NEWERFOUND AND (NOT INSTALLEDBUILD OR INSTALLEDBUILD <= \"$BUILD\"))', 'A newer quelvan is installed than this one ($FILEVERSION). To replace it all the same: msiexec /i ... ALLOWDOWNGRADE=1')" \
    -q "INSERT INTO \`LaunchCondition\` (\`Condition\`, \`Description\`) VALUES ('Installed OR NOT SETUPLOCATION', 'quelvan is installed by its setup program in [SETUPLOCATION]: uninstall it first (uninstall.exe /S).')" \
    -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('LaunchConditions', 100)" \
    -q "INSERT INTO \`InstallUISequence\` (\`Action\`, \`Sequence\`) VALUES ('LaunchConditions', 100)" \
    -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('RemoveExistingProducts', 1450)" \
    -q "UPDATE \`Property\` SET \`Value\` = 'OLDERFOUND;NEWERFOUND;INSTALLEDBUILD;SETUPLOCATION;ALLOWDOWNGRADE' WHERE \`Property\` = 'SecureCustomProperties'"
cd "$ROOT"
cp "$WORK/quelvan.msi" "$OUT"
