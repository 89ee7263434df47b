@echo off
rem Installs quelvan on this machine silently, and puts the lab's settings in place.
rem Run it as an administrator from a folder holding this file, the installer
rem (quelvan-<version>-windows-x64-setup.exe) and the lab's quelvan.ini:
rem   deploy.cmd                   install, or upgrade; copy quelvan.ini to C:\ProgramData\quelvan\
rem   deploy.cmd /ALLOWDOWNGRADE   the same over a newer quelvan
rem   deploy.cmd /uninstall        remove quelvan; returns once its files are gone
rem Exit status: 0 done; 1 no installer, or the settings could not be copied; the installer's
rem own otherwise: 2 a newer quelvan is installed, 3 quelvan is running, 4 it was installed
rem from the MSI.
setlocal
set "HERE=%~dp0"
if /i "%~1"=="/uninstall" goto uninstall

set "SETUP="
pushd "%HERE%"
for %%f in (quelvan-*-windows-x64-setup.exe) do set "SETUP=%%~ff"
popd
if not defined SETUP (
    echo deploy.cmd: no quelvan-*-windows-x64-setup.exe beside this file
    exit /b 1
)
start "" /wait "%SETUP%" /S %*
set "STATUS=%ERRORLEVEL%"
if not "%STATUS%"=="0" (
    echo deploy.cmd: the installer stopped with status %STATUS%
    exit /b %STATUS%
)
if not exist "%HERE%quelvan.ini" goto installed
if not exist "%ProgramData%\quelvan" mkdir "%ProgramData%\quelvan"
copy /y "%HERE%quelvan.ini" "%ProgramData%\quelvan\quelvan.ini" >nul
if errorlevel 1 (
    echo deploy.cmd: quelvan.ini could not be copied to %ProgramData%\quelvan
    exit /b 1
)
:installed
echo deploy.cmd: quelvan is installed; check it with quelvan.exe --check-settings
exit /b 0

:uninstall
set "DIR="
for /f "tokens=2,*" %%a in ('reg query "HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\quelvan" /v InstallLocation 2^>nul ^| find "InstallLocation"') do set "DIR=%%b"
if not defined DIR (
    echo deploy.cmd: quelvan is not installed by its setup program
    exit /b 0
)
rem Given its own folder with _?= (last, unquoted), the uninstaller runs where it is and
rem returns when it is done; without it, it starts a copy of itself and returns at once.
start "" /wait "%DIR%\uninstall.exe" /S _?=%DIR%
set "STATUS=%ERRORLEVEL%"
if not "%STATUS%"=="0" exit /b %STATUS%
del "%DIR%\uninstall.exe"
rmdir "%DIR%" 2>nul
echo deploy.cmd: quelvan is removed; the settings and results are kept
exit /b 0
