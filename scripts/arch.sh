# Sourced by the scripts: which Windows architecture Wine can run on this machine.
# 32-bit Wine needs a kernel that runs 32-bit programs natively (some kernels have IA-32 emulation off).
# Emulating it (qemu-user) works but is far too slow for a test suite, so it does not count.
marigold_test_arch() {
  if [ -n "${MARIGOLD_TEST_ARCH:-}" ]; then echo "$MARIGOLD_TEST_ARCH"; return; fi
  local entry
  for entry in /proc/sys/fs/binfmt_misc/*; do
    [ -f "$entry" ] || continue
    if grep -qs '^enabled' "$entry" && grep -qs '^magic 7f454c4601010100000000000000000002000300' "$entry"; then
      echo x86_64; return   # 32-bit programs would only run emulated
    fi
  done
  if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then echo i686; else echo x86_64; fi
}
