// pado-backtest: the backtest command on its own, with the arguments pado-import takes after "backtest".
int RunBacktestCommand(int argc, char** argv);

int main(int argc, char** argv)
{
    return RunBacktestCommand(argc - 1, argv + 1);
}
