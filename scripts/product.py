"""What the product is called and says, for every script that drives or checks it: the expected
texts, names and places, written down once (the C++ side has its own single definitions; these are
what the tests hold it to)."""

# The setup's message boxes (caption, then the texts of its string table).
SETUP_TITLE = "Marigold Screen Saver Setup"
ASK_INSTALL = "This will install the Marigold screen saver. Do you wish to continue?"
INSTALLED = "The Marigold screen saver has been successfully installed!"
INSTALL_FAILED = "The installation failed. You may restart your computer and try again."
SETUP_STRINGS = {101: ASK_INSTALL, 102: "Marigold.scr", 103: INSTALLED, 104: INSTALL_FAILED, 57344: SETUP_TITLE}

# The uninstaller's.
UNINSTALL_TITLE = "Marigold Screen Saver Uninstall"
ASK_REMOVE = ("This will remove the Marigold screen saver, its pictures and sound, and its shortcuts from this "
              "computer. Do you wish to continue?")
REMOVED = "The Marigold screen saver has been removed."
REMOVED_AT_RESTART = ("The Marigold screen saver has been removed. Some of its files are still in use; they will be "
                      "deleted when you restart your computer.")

# The boxes' styles: a question with Yes and No, an information with OK.
MB_YESNO_QUESTION = 0x24
MB_OK_INFORMATION = 0x40

# What is installed, below the Windows directory.
SAVER_FILE = "Marigold.scr"
ASSET_FOLDER = "marigoldfiles"
ASSETS = ["ghost.bmp", "skeleton.bmp", "pumpkin1.bmp", "pumpkin2.bmp", "pumpkin3.bmp", "boom1.wav"]
UNINSTALLER = "uninstall.exe"

# The publisher's shortcuts, below the user's profile folder.
START_MENU = "AppData/Roaming/Microsoft/Windows/Start Menu"
SHORTCUTS = {
    "favorite": "Favorites/LUMAVERT - FREE DOWNLOADS, GAMES, UTILITIES.url",
    "desktop": "Desktop/LUMA VERT - FREE SOFTWARE, GAMES, TOOLS.lnk",
    "start menu": f"{START_MENU}/LUMAVERT.lnk",
    "programs": f"{START_MENU}/Programs/LUMAVERT - FREE SOFTWARE, GAMES, TOOLS.lnk",
}
DEFAULT_SITE_URL = "https://www.lumavert.example"

# The Display control panel on its Screen Saver page.
CONTROL_PARAMETERS = 'desk.cpl Display,@"Screen Saver"'

# The registry.
PRODUCT = "Marigold Screen Saver"
UNINSTALL_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Marigold Screen Saver"
PUBLISHER_KEY = "HKCU\\Software\\LUMAVERT"
SETTINGS_KEY = "HKCU\\Software\\LUMAVERT\\Marigold"

# The screen saver's windows.
SAVER_TITLE = "Marigold Screen Saver"
SETTINGS_TITLE = "Marigold Screen Saver Settings"

# The unprivileged user Wine runs as when the scripts are started as root.
WINE_USER = "marigold-wine"
