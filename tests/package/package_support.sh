# Helpers the installation tests share. Sourced, not run.

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
finish() {
    [ "$failures" -eq 0 ] || { echo "$failures failure(s)" >&2; exit 1; }
}

# Every file an installation holds, relative to its prefix: expected_files LIBDIR APP_ID.
expected_files() {
    local libdir=$1 app=$2 size
    cat <<LIST
bin/partita
bin/partita-studio
$libdir/partita/partita_audio_ffmpeg.so
share/partita-studio/manual/en/index.html
share/partita-studio/manual/en/splitter.html
share/partita-studio/manual/en/joiner.html
share/partita-studio/manual/en/commandline.html
share/partita-studio/manual/zh_CN/index.html
share/partita-studio/manual/zh_CN/splitter.html
share/partita-studio/manual/zh_CN/joiner.html
share/partita-studio/manual/zh_CN/commandline.html
share/man/man1/partita.1.gz
share/man/man1/partita-studio.1.gz
share/bash-completion/completions/partita
share/applications/$app.desktop
share/metainfo/$app.metainfo.xml
share/mime/packages/partita-studio.xml
share/icons/hicolor/scalable/apps/$app.svg
LIST
    for size in 16 24 32 48 64 128 256; do
        echo "share/icons/hicolor/${size}x${size}/apps/$app.png"
    done
}
